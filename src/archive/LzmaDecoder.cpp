#include "archive/BoundedDecode.h"

#include "archive/ZipLayout.h"
#include "platform/AppError.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <lzma.h>
#include <string>

std::unique_ptr<TMemberDecoder> MakeLzmaDecoder();

namespace {

constexpr std::size_t PropertiesHeaderSize = 4; // version (2 bytes), properties size (2 bytes)
// The expansion of LZMA is not bounded by a small factor; its size is held exactly instead.
constexpr std::uint64_t UnboundedExpansion = std::numeric_limits<std::uint64_t>::max();

// ZIP writers use dictionaries of a few MiB, 64 MiB at their strongest; a member
// asking for more is held to this, so a few crafted bytes cannot claim gigabytes.
constexpr std::uint64_t LargestDictionary = std::uint64_t { 256 } << 20;

// A dictionary larger than the whole text is never reached back into, so the
// member's own dictionary size is no reason to ask for more memory than that.
std::uint32_t NeededDictionary(std::uint32_t declared, std::uint64_t size)
{
    const std::uint64_t needed = std::clamp<std::uint64_t>(size, LZMA_DICT_SIZE_MIN, LargestDictionary);
    return static_cast<std::uint32_t>(std::min<std::uint64_t>(declared, needed));
}

// The member starts with its own header: the encoder's version, then the size and
// bytes of the LZMA properties; the raw LZMA stream follows.
class LzmaDecoder : public TMemberDecoder {
public:
    ~LzmaDecoder() override { lzma_end(&stream); }

    void Decode(TMemberSource& source, std::uint64_t size, const TDecodedSink& sink) override
    {
        Start(source, size);
        DecodeBounded(source, size, UnboundedExpansion, sink,
            [this](const char* input, std::size_t inputSize, char* output, std::size_t room) {
                stream.next_in = reinterpret_cast<const std::uint8_t*>(input);
                stream.avail_in = inputSize;
                stream.next_out = reinterpret_cast<std::uint8_t*>(output);
                stream.avail_out = room;
                const lzma_ret status = lzma_code(&stream, LZMA_RUN);
                return TDecodeStep { inputSize - stream.avail_in, room - stream.avail_out,
                    status == LZMA_STREAM_END, status != LZMA_OK && status != LZMA_STREAM_END };
            });
    }

private:
    void Start(TMemberSource& source, std::uint64_t size)
    {
        std::string header(PropertiesHeaderSize, '\0');
        if (ReadAhead(source, header.data(), header.size()) != header.size())
            RaiseDamagedData();
        std::string properties(ZipLayout::GetUInt16(header, 2), '\0');
        if (ReadAhead(source, properties.data(), properties.size()) != properties.size())
            RaiseDamagedData();
        lzma_filter filters[2] = { { LZMA_FILTER_LZMA1, nullptr }, { LZMA_VLI_UNKNOWN, nullptr } };
        if (lzma_properties_decode(&filters[0], nullptr, reinterpret_cast<const std::uint8_t*>(properties.data()),
                properties.size()) != LZMA_OK)
            RaiseDamagedData();
        auto* options = static_cast<lzma_options_lzma*>(filters[0].options);
        options->dict_size = NeededDictionary(options->dict_size, size);
        // The decoder stops at the declared size and accepts an end marker right there;
        // a stream that goes on past that size is damaged.
        filters[0].id = LZMA_FILTER_LZMA1EXT;
        options->ext_flags = LZMA_LZMA1EXT_ALLOW_EOPM;
        options->ext_size_low = static_cast<std::uint32_t>(size);
        options->ext_size_high = static_cast<std::uint32_t>(size >> 32);
        const lzma_ret status = lzma_raw_decoder(&stream, filters);
        std::free(filters[0].options);
        if (status == LZMA_OPTIONS_ERROR)
            RaiseDamagedData();
        if (status != LZMA_OK)
            throw AppError("Out of memory");
    }

    lzma_stream stream = LZMA_STREAM_INIT;
};

} // namespace

std::unique_ptr<TMemberDecoder> MakeLzmaDecoder()
{
    return std::make_unique<LzmaDecoder>();
}
