#include "archive/TraditionalCipher.h"

#include "model/Random.h"

#include <stdexcept>
#include <zlib.h>

namespace {

std::uint32_t CrcStep(std::uint32_t crc, std::uint8_t byte)
{
    static const z_crc_t* const table = get_crc_table();
    return table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

void RequireStage(bool ready, const char* what)
{
    if (!ready)
        throw std::logic_error(what);
}

} // namespace

void TTraditionalCipher::Initialise(std::string_view password)
{
    RequireStage(!password.empty(), "the archive cipher needs a password");
    key0 = 0x12345678u;
    key1 = 0x23456789u;
    key2 = 0x34567890u;
    for (char byte : password)
        UpdateKeys(static_cast<std::uint8_t>(byte));
}

void TTraditionalCipher::UpdateKeys(std::uint8_t plain)
{
    key0 = CrcStep(key0, plain);
    key1 = (key1 + (key0 & 0xFF)) * 134775813u + 1u;
    key2 = CrcStep(key2, static_cast<std::uint8_t>(key1 >> 24));
}

std::uint8_t TTraditionalCipher::KeystreamByte() const
{
    const std::uint32_t t = (key2 & 0xFFFF) | 2u;
    return static_cast<std::uint8_t>((t * (t ^ 1u)) >> 8);
}

std::uint8_t TTraditionalCipher::Encrypt(std::uint8_t plain)
{
    const auto cipher = static_cast<std::uint8_t>(plain ^ KeystreamByte());
    UpdateKeys(plain);
    return cipher;
}

std::uint8_t TTraditionalCipher::Decrypt(std::uint8_t cipher)
{
    const auto plain = static_cast<std::uint8_t>(cipher ^ KeystreamByte());
    UpdateKeys(plain);
    return plain;
}

TTraditionalCipher::Header TTraditionalCipher::CreateHeader(std::string_view password, std::uint32_t checkValue)
{
    Header header {};
    Initialise(password);
    for (std::size_t i = 0; i < 10; ++i)
        header[i] = Encrypt(static_cast<std::uint8_t>(RandomInt(256)));
    Initialise(password);
    for (std::size_t i = 0; i < 10; ++i)
        header[i] = Encrypt(header[i]);
    header[10] = Encrypt(static_cast<std::uint8_t>(checkValue >> 16));
    header[11] = Encrypt(static_cast<std::uint8_t>(checkValue >> 24));
    stage = Stage::Encrypting;
    return header;
}

// The keys live in locals here: the byte pointer may alias the members, which would
// otherwise make the compiler store and reload them for every byte.
template <bool Decrypting>
void TTraditionalCipher::Transform(std::uint8_t* bytes, std::size_t size)
{
    const z_crc_t* const table = get_crc_table();
    std::uint32_t k0 = key0;
    std::uint32_t k1 = key1;
    std::uint32_t k2 = key2;
    for (std::size_t i = 0; i < size; ++i) {
        const std::uint32_t t = (k2 & 0xFFFF) | 2u;
        const auto keystream = static_cast<std::uint8_t>((t * (t ^ 1u)) >> 8);
        const std::uint8_t in = bytes[i];
        const std::uint8_t out = in ^ keystream;
        const std::uint8_t plain = Decrypting ? out : in;
        bytes[i] = out;
        k0 = table[(k0 ^ plain) & 0xFF] ^ (k0 >> 8);
        k1 = (k1 + (k0 & 0xFF)) * 134775813u + 1u;
        k2 = table[(k2 ^ (k1 >> 24)) & 0xFF] ^ (k2 >> 8);
    }
    key0 = k0;
    key1 = k1;
    key2 = k2;
}

void TTraditionalCipher::EncodeBuffer(void* data, std::size_t size)
{
    RequireStage(stage == Stage::Encrypting, "the archive cipher encrypts only after its header was made");
    Transform<false>(static_cast<std::uint8_t*>(data), size);
}

bool TTraditionalCipher::VerifyHeader(const Header& header, std::string_view password, std::uint32_t checkValue)
{
    stage = Stage::Unkeyed;
    Initialise(password);
    std::uint8_t last = 0;
    for (std::uint8_t byte : header)
        last = Decrypt(byte);
    if (last != static_cast<std::uint8_t>(checkValue >> 24))
        return false;
    stage = Stage::Decrypting;
    return true;
}

void TTraditionalCipher::Decode(void* data, std::size_t size)
{
    RequireStage(stage == Stage::Decrypting, "the archive cipher decrypts only after a verified header");
    Transform<true>(static_cast<std::uint8_t*>(data), size);
}
