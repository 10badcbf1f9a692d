#include "archive/BoundedDecode.h"

#include "platform/AppError.h"

#include <zlib.h>

std::unique_ptr<TMemberDecoder> MakeDeflateDecoder();

namespace {

// Each Deflate match of 258 bytes costs at least two bits.
constexpr std::uint64_t LargestDeflateExpansion = 1032;

class DeflateDecoder : public TMemberDecoder {
public:
    DeflateDecoder()
    {
        if (inflateInit2(&stream, -MAX_WBITS) != Z_OK)
            throw AppError("Out of memory");
    }
    ~DeflateDecoder() override { inflateEnd(&stream); }
    DeflateDecoder(const DeflateDecoder&) = delete;
    DeflateDecoder& operator=(const DeflateDecoder&) = delete;

    void Decode(TMemberSource& source, std::uint64_t size, const TDecodedSink& sink) override
    {
        DecodeBounded(source, size, LargestDeflateExpansion, sink, [this](const char* input, std::size_t inputSize, char* output, std::size_t room) {
            stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input));
            stream.avail_in = static_cast<uInt>(inputSize);
            stream.next_out = reinterpret_cast<Bytef*>(output);
            stream.avail_out = static_cast<uInt>(room);
            const int status = inflate(&stream, Z_NO_FLUSH);
            return TDecodeStep { inputSize - stream.avail_in, room - stream.avail_out, status == Z_STREAM_END,
                status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_MEM_ERROR };
        });
    }

private:
    z_stream stream {};
};

} // namespace

std::unique_ptr<TMemberDecoder> MakeDeflateDecoder()
{
    return std::make_unique<DeflateDecoder>();
}
