#include "archive/MemberDecoder.h"

#include "archive/ZipLayout.h"
#include "platform/AppError.h"

#include <algorithm>
#include <cstdlib>
#include <lzma.h>
#include <string>

std::unique_ptr<TMemberDecoder> MakeLzmaDecoder();

namespace {

constexpr std::size_t PropertiesHeaderSize = 4; // version (2 bytes), properties size (2 bytes)

// The member starts with its own header: the encoder's version, then the size and
// bytes of the LZMA properties; the raw LZMA stream follows.
class LzmaDecoder : public TMemberDecoder {
public:
    ~LzmaDecoder() override { lzma_end(&stream); }

    void Decode(TMemberSource& source, std::uint64_t size, const TDecodedSink& sink) override
    {
        Start(source);
        std::string input(64 * 1024, '\0');
        std::string output(64 * 1024, '\0');
        std::uint64_t left = size;
        bool sourceEnded = false;
        while (left > 0) {
            if (stream.avail_in == 0 && !sourceEnded) {
                const std::size_t got = source.Read(input.data(), input.size());
                sourceEnded = got == 0;
                stream.next_in = reinterpret_cast<const std::uint8_t*>(input.data());
                stream.avail_in = got;
            }
            const std::size_t room = static_cast<std::size_t>(std::min<std::uint64_t>(left, output.size()));
            stream.next_out = reinterpret_cast<std::uint8_t*>(output.data());
            stream.avail_out = room;
            const lzma_ret status = lzma_code(&stream, LZMA_RUN);
            const std::size_t produced = room - stream.avail_out;
            if (status != LZMA_OK && status != LZMA_STREAM_END)
                RaiseDamagedData();
            if (produced > 0)
                sink(std::string_view(output.data(), produced));
            left -= produced;
            if (left > 0 && (status == LZMA_STREAM_END || (produced == 0 && stream.avail_in == 0 && sourceEnded)))
                RaiseDamagedData();
        }
    }

private:
    void Start(TMemberSource& source)
    {
        std::string header(PropertiesHeaderSize, '\0');
        if (source.Read(header.data(), header.size()) != header.size())
            RaiseDamagedData();
        std::string properties(ZipLayout::GetUInt16(header, 2), '\0');
        if (source.Read(properties.data(), properties.size()) != properties.size())
            RaiseDamagedData();
        lzma_filter filters[2] = { { LZMA_FILTER_LZMA1, nullptr }, { LZMA_VLI_UNKNOWN, nullptr } };
        if (lzma_properties_decode(&filters[0], nullptr, reinterpret_cast<const std::uint8_t*>(properties.data()),
                properties.size()) != LZMA_OK)
            RaiseDamagedData();
        const lzma_ret status = lzma_raw_decoder(&stream, filters);
        std::free(filters[0].options);
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
