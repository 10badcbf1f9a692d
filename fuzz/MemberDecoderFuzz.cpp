#include "FuzzSupport.h"

#include "archive/MemberDecoder.h"
#include "platform/AppError.h"

#include <algorithm>
#include <cstring>
#include <limits>

// Feeds raw member data to the decoder of a method with a declared size, many of them
// far beyond what the data can hold. Input: the method (2 bytes, little-endian), how
// the size is chosen (1 byte), a 64-bit number (8 bytes, little-endian), the data.
namespace {

constexpr std::size_t HeaderSize = 11;
constexpr std::uint64_t Largest = std::numeric_limits<std::uint64_t>::max();

std::uint64_t LittleEndian(const std::uint8_t* bytes, std::size_t count)
{
    std::uint64_t number = 0;
    for (std::size_t index = count; index > 0; --index)
        number = number << 8 | bytes[index - 1];
    return number;
}

// The sizes that break bounds arithmetic come up often, not once in 2^64 inputs.
std::uint64_t DeclaredSize(std::uint8_t choice, std::uint64_t number)
{
    switch (choice % 5) {
    case 0: return number;
    case 1: return Largest - (number & 0xFF);
    case 2: return number & 0xFFFFF;
    case 3: return 0xFFFFFFFFu - 0x80 + (number & 0xFF);
    default: return (Largest >> 1) - 0x80 + (number & 0xFF);
    }
}

class TInputSource : public TMemberSource {
public:
    explicit TInputSource(std::string_view bytes) : rest(bytes) {}

    // Small pieces of varying size, as a file read through a cipher may come.
    std::size_t Read(char* buffer, std::size_t count) override
    {
        const std::size_t piece = std::min({ count, rest.size(), std::size_t(1) + reads++ % 4099 });
        std::memcpy(buffer, rest.data(), piece);
        rest.remove_prefix(piece);
        return piece;
    }

private:
    std::string_view rest;
    std::size_t reads = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < HeaderSize)
        return 0;
    const auto method = static_cast<std::uint16_t>(LittleEndian(data, 2));
    const std::unique_ptr<TMemberDecoder> decoder = MakeMemberDecoder(method);
    if (!decoder)
        return 0;
    const std::uint64_t declared = DeclaredSize(data[2], LittleEndian(data + 3, 8));
    TInputSource source(InputText(data + HeaderSize, size - HeaderSize));
    std::uint64_t decoded = 0;
    try {
        decoder->Decode(source, declared, [&](std::string_view piece) {
            decoded += piece.size();
            Require(decoded <= declared, "a decoder hands over no more than the declared size");
        });
    } catch (const AppError&) {
        return 0;
    }
    Require(decoded == declared, "a decoder that succeeds hands over exactly the declared size");
    return 0;
}
