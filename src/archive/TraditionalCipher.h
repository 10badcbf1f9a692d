#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// The traditional PKWARE cipher of ZIP members, keyed by the archive password.
// One object serves one member: either the encryption side (CreateHeader, then
// EncodeBuffer) or the decryption side (VerifyHeader, then Decode).
class TTraditionalCipher {
public:
    static constexpr std::size_t HeaderSize = 12;
    using Header = std::array<std::uint8_t, HeaderSize>;

    // Initialises with the password and yields the encrypted header: ten random
    // bytes, then bytes 2 and 3 of CheckValue. The state is then ready for the data.
    Header CreateHeader(std::string_view password, std::uint32_t checkValue);
    void EncodeBuffer(void* data, std::size_t size);

    // Initialises with the password, decrypts the header and accepts it when its
    // last byte equals the most significant byte of CheckValue.
    bool VerifyHeader(const Header& header, std::string_view password, std::uint32_t checkValue);
    void Decode(void* data, std::size_t size);

private:
    enum class Stage { Unkeyed, Encrypting, Decrypting };

    void Initialise(std::string_view password);
    void UpdateKeys(std::uint8_t plain);
    std::uint8_t KeystreamByte() const;
    std::uint8_t Encrypt(std::uint8_t plain);
    std::uint8_t Decrypt(std::uint8_t cipher);
    template <bool Decrypting>
    void Transform(std::uint8_t* bytes, std::size_t size);

    std::uint32_t key0 = 0;
    std::uint32_t key1 = 0;
    std::uint32_t key2 = 0;
    Stage stage = Stage::Unkeyed;
};
