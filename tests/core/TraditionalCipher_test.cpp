#include "archive/TraditionalCipher.h"

#include "model/Random.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

std::string FromHex(const std::string& hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
    return bytes;
}

TTraditionalCipher::Header HeaderOf(const std::string& data)
{
    TTraditionalCipher::Header header {};
    std::copy_n(reinterpret_cast<const std::uint8_t*>(data.data()), header.size(), header.begin());
    return header;
}

// Member data that Info-ZIP wrote for "Data" with password "secret", stored, with
// the last mod file time 0x7CEF and bit 3 set (so its check byte is the time's).
const std::string PeerMember = FromHex("ee43f45a1ff7bc9a47e46d45c1452b8e08112e44e6e210745bbc15");
constexpr std::uint32_t PeerCheck = 0x7CEFu << 16;

class Cipher : public testing::Test {
protected:
    void SetUp() override
    {
        SelectRandomSource(RandomSource::Deterministic);
        SetRandomState(0);
    }
    void TearDown() override { SelectRandomSource(RandomSource::System); }
};

TEST_F(Cipher, DecryptsWhatAPeerEncrypted)
{
    TTraditionalCipher cipher;
    ASSERT_TRUE(cipher.VerifyHeader(HeaderOf(PeerMember), "secret", PeerCheck));
    std::string data = PeerMember.substr(TTraditionalCipher::HeaderSize);
    cipher.Decode(data.data(), data.size());
    EXPECT_EQ(data, "Mail=joe\tpw\t\t\r\n");
}

TEST_F(Cipher, RefusesOtherPasswordsAndCheckValues)
{
    TTraditionalCipher cipher;
    EXPECT_FALSE(cipher.VerifyHeader(HeaderOf(PeerMember), "Secret", PeerCheck));
    EXPECT_FALSE(cipher.VerifyHeader(HeaderOf(PeerMember), "secret", 0x7DEFu << 16));
    EXPECT_THROW(cipher.Decode(nullptr, 0), std::logic_error) << "a failed check must not leave decryption open";
    EXPECT_TRUE(cipher.VerifyHeader(HeaderOf(PeerMember), "secret", 0x7C000000u)) << "only the last byte is checked";
}

TEST_F(Cipher, EncryptsWhatDecryptsWithTheTimeInTheLastTwoHeaderBytes)
{
    const std::string password = "p\xE4ss \xFF";
    const std::uint32_t check = 0xA1B2u << 16;
    TTraditionalCipher writer;
    const TTraditionalCipher::Header header = writer.CreateHeader(password, check);
    std::string data = "Bank=ann\t\t\tnotes\\n\r\n";
    const std::string plain = data;
    writer.EncodeBuffer(data.data(), 5);
    writer.EncodeBuffer(data.data() + 5, data.size() - 5);
    EXPECT_NE(data, plain);

    TTraditionalCipher reader;
    ASSERT_TRUE(reader.VerifyHeader(header, password, check));
    reader.Decode(data.data(), data.size());
    EXPECT_EQ(data, plain);


    int accepted = 0;
    for (std::uint32_t high = 0; high < 256; ++high) {
        TTraditionalCipher probe;
        if (probe.VerifyHeader(header, password, high << 24)) {
            ++accepted;
            EXPECT_EQ(high, 0xA1u) << "the check byte is the time's high byte";
        }
    }
    EXPECT_EQ(accepted, 1);
}

TEST_F(Cipher, HeadersDrawTenBytesEachAndDifferBetweenMembers)
{
    TTraditionalCipher first;
    TTraditionalCipher second;
    const auto a = first.CreateHeader("pw", 0x12340000u);
    EXPECT_EQ(RandomState(), []{
        std::uint32_t s = 0;
        for (int i = 0; i < 10; ++i)
            s = s * 134775813u + 1u;
        return s;
    }());
    const auto b = second.CreateHeader("pw", 0x12340000u);
    EXPECT_FALSE(std::equal(a.begin(), a.begin() + 10, b.begin()));
}

TEST_F(Cipher, MisuseIsAProgrammingError)
{
    TTraditionalCipher cipher;
    char byte = 0;
    EXPECT_THROW(cipher.EncodeBuffer(&byte, 1), std::logic_error);
    EXPECT_THROW(cipher.Decode(&byte, 1), std::logic_error);
    EXPECT_THROW(cipher.CreateHeader("", 0), std::logic_error);
}

} // namespace
