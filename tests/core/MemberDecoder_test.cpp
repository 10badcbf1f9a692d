#include "archive/MemberDecoder.h"

#include "RawDeflate.h"
#include "platform/AppError.h"

#include <gtest/gtest.h>

#include <bzlib.h>
#include <cstring>
#include <limits>
#include <lzma.h>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

namespace {

constexpr std::uint16_t MethodStored = 0;
constexpr std::uint16_t MethodDeflate = 8;
constexpr std::uint16_t MethodBzip2 = 12;
constexpr std::uint16_t MethodLzma = 14;
constexpr std::uint64_t LargestSize = std::numeric_limits<std::uint64_t>::max();

// Hands out its bytes a few at a time, as a file read in pieces might.
class BytesSource : public TMemberSource {
public:
    explicit BytesSource(std::string bytes) : bytes(std::move(bytes)) {}
    std::size_t Read(char* buffer, std::size_t count) override
    {
        const std::size_t taken = std::min({ count, bytes.size() - position, std::size_t { 4000 } });
        std::memcpy(buffer, bytes.data() + position, taken);
        position += taken;
        return taken;
    }

private:
    std::string bytes;
    std::size_t position = 0;
};

struct Decoded {
    std::string text;
    std::optional<std::string> error;
};

Decoded Decode(std::uint16_t method, const std::string& data, std::uint64_t size)
{
    Decoded result;
    BytesSource source(data);
    try {
        MakeMemberDecoder(method)->Decode(source, size, [&](std::string_view bytes) { result.text += bytes; });
    } catch (const AppError& error) {
        result.error = error.what();
    }
    return result;
}

std::string Deflated(const std::string& text)
{
    return RawDeflate(text, 9);
}

std::string Bzip2ed(const std::string& text)
{
    unsigned int size = static_cast<unsigned int>(text.size() + text.size() / 100 + 600);
    std::string out(size, '\0');
    BZ2_bzBuffToBuffCompress(out.data(), &size, const_cast<char*>(text.data()),
        static_cast<unsigned int>(text.size()), 9, 0, 0);
    out.resize(size);
    return out;
}

enum class EndMarker { Written, Left };

// The member's own header (version, properties size, properties), then a raw LZMA
// stream; Dictionary replaces the size the properties declare.
std::string Lzmaed(const std::string& text, std::optional<std::uint32_t> dictionary = std::nullopt,
    EndMarker endMarker = EndMarker::Written)
{
    lzma_options_lzma options;
    lzma_lzma_preset(&options, 1);
    lzma_filter filters[2] = { { LZMA_FILTER_LZMA1, &options }, { LZMA_VLI_UNKNOWN, nullptr } };
    if (endMarker == EndMarker::Left) {
        // An encoder told the size ends the stream there without a marker.
        filters[0].id = LZMA_FILTER_LZMA1EXT;
        options.ext_flags = 0;
        options.ext_size_low = static_cast<std::uint32_t>(text.size());
        options.ext_size_high = 0;
    }
    std::string properties(5, '\0');
    std::uint32_t propertiesSize = 0;
    lzma_properties_size(&propertiesSize, &filters[0]);
    lzma_properties_encode(&filters[0], reinterpret_cast<std::uint8_t*>(properties.data()));
    if (dictionary)
        for (int i = 0; i < 4; ++i)
            properties[1 + i] = static_cast<char>(*dictionary >> (8 * i));
    std::string raw(text.size() + text.size() / 2 + 1024, '\0');
    std::size_t rawSize = 0;
    lzma_raw_buffer_encode(filters, nullptr, reinterpret_cast<const std::uint8_t*>(text.data()), text.size(),
        reinterpret_cast<std::uint8_t*>(raw.data()), &rawSize, raw.size());
    raw.resize(rawSize);
    return std::string { '\x10', '\x02', '\x05', '\x00' } + properties + raw;
}

std::string SiteText(int lines)
{
    std::string text;
    for (int i = 0; i < lines; ++i)
        text += "Site" + std::to_string(i) + "=user\tpw" + std::to_string(i * 7919) + "\t\t\r\n";
    return text;
}

// Declared sizes that the data cannot hold fail at once, before any output, however
// large (the largest once made the bounded loop wrap round and spin); honest sizes,
// up to the largest expansion a method reaches, still decode.
TEST(MemberDecoder, DeclaredSizesAreWeighedAgainstTheData)
{
    const std::string text = SiteText(2000);
    const std::string zeros(std::size_t { 8 } << 20, '\0');
    const std::string tiny = "a=b\t\t\t\r\n";
    struct Case {
        const char* name;
        std::uint16_t method;
        std::string data;
        std::uint64_t size;
        bool decodes;
    };
    const Case cases[] = {
        { "stored", MethodStored, text, text.size(), true },
        { "stored, one byte more", MethodStored, text, text.size() + 1, false },
        { "stored, largest", MethodStored, tiny, LargestSize, false },
        { "deflate", MethodDeflate, Deflated(text), text.size(), true },
        { "deflate, zeros at its ratio", MethodDeflate, Deflated(zeros), zeros.size(), true },
        { "deflate, beyond its ratio", MethodDeflate, Deflated(text), Deflated(text).size() * 1033, false },
        { "deflate, largest", MethodDeflate, Deflated(tiny), LargestSize, false },
        { "deflate, largest 32-bit", MethodDeflate, Deflated(tiny), 0xFFFFFFFFu, false },
        { "bzip2", MethodBzip2, Bzip2ed(text), text.size(), true },
        { "bzip2, zeros", MethodBzip2, Bzip2ed(zeros), zeros.size(), true },
        { "bzip2, largest", MethodBzip2, Bzip2ed(tiny), LargestSize, false },
        { "bzip2, beyond its ratio", MethodBzip2, Bzip2ed(tiny), Bzip2ed(tiny).size() * 46'000'001, false },
        { "lzma, largest", MethodLzma, Lzmaed(tiny), LargestSize, false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Decoded decoded = Decode(c.method, c.data, c.size);
        if (c.decodes) {
            EXPECT_FALSE(decoded.error);
            EXPECT_EQ(decoded.text.size(), c.size);
        } else {
            EXPECT_EQ(decoded.error.value_or("decoded"), "Invalid compressed data");
            if (c.method != MethodLzma) {
                EXPECT_EQ(decoded.text.size(), 0u) << "output before the size was weighed";
            }
        }
    }
}

// Every decoder holds its stream to the declared size: a stream that holds more, or
// ends early, fails.
TEST(MemberDecoder, OutputBeyondOrShortOfTheDeclaredSizeFails)
{
    const std::string text = SiteText(500);
    const std::pair<std::uint16_t, std::string> streams[] = {
        { MethodDeflate, Deflated(text) },
        { MethodBzip2, Bzip2ed(text) },
        { MethodLzma, Lzmaed(text) },
        { MethodLzma, Lzmaed(text, std::nullopt, EndMarker::Left) },
    };
    for (const auto& [method, data] : streams) {
        SCOPED_TRACE(testing::Message() << "method " << method << ", " << data.size() << " bytes");
        const Decoded exact = Decode(method, data, text.size());
        EXPECT_FALSE(exact.error);
        EXPECT_EQ(exact.text, text);
        for (const std::uint64_t size : { text.size() - 1, text.size() / 2, text.size() + 1 })
            EXPECT_EQ(Decode(method, data, size).error.value_or("decoded"), "Invalid compressed data") << size;
    }
}

// An LZMA member may declare a dictionary of 4 GiB; a short text never needs it, so
// the decoder asks for no more memory than the text can use. Run in a child process
// whose address space is limited, which the sanitizers' shadow memory cannot bear.
TEST(MemberDecoder, LzmaMemoryFollowsTheDeclaredSizeNotTheDictionary)
{
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "an address-space limit cannot apply under AddressSanitizer";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
    GTEST_SKIP() << "an address-space limit cannot apply under AddressSanitizer";
#endif
#endif
    const std::string text = SiteText(100);
    const std::string member = Lzmaed(text, 0xFFFFFFFFu);
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        constexpr rlim_t addressSpace = rlim_t { 1 } << 30;
        const rlimit limit { addressSpace, addressSpace };
        setrlimit(RLIMIT_AS, &limit);
        const Decoded decoded = Decode(MethodLzma, member, text.size());
        // The largest declared size, as a Zip64 field can give it, asks no more.
        const Decoded overstated = Decode(MethodLzma, member, LargestSize);
        _exit(!decoded.error && decoded.text == text && overstated.error == "Invalid compressed data" ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the 4 GiB dictionary was asked for";
}

} // namespace
