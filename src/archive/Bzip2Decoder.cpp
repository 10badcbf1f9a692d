#include "archive/BoundedDecode.h"

#include "platform/AppError.h"

#include <bzlib.h>

std::unique_ptr<TMemberDecoder> MakeBzip2Decoder();

namespace {

// Runs of a block, after the format's run-length stages, expand no further than this.
constexpr std::uint64_t LargestBzip2Expansion = 46'000'000;

class Bzip2Decoder : public TMemberDecoder {
public:
    Bzip2Decoder()
    {
        if (BZ2_bzDecompressInit(&stream, 0, 0) != BZ_OK)
            throw AppError("Out of memory");
    }
    ~Bzip2Decoder() override { BZ2_bzDecompressEnd(&stream); }
    Bzip2Decoder(const Bzip2Decoder&) = delete;
    Bzip2Decoder& operator=(const Bzip2Decoder&) = delete;

    void Decode(TMemberSource& source, std::uint64_t size, const TDecodedSink& sink) override
    {
        DecodeBounded(source, size, LargestBzip2Expansion, sink, [this](const char* input, std::size_t inputSize, char* output, std::size_t room) {
            stream.next_in = const_cast<char*>(input);
            stream.avail_in = static_cast<unsigned int>(inputSize);
            stream.next_out = output;
            stream.avail_out = static_cast<unsigned int>(room);
            const int status = BZ2_bzDecompress(&stream);
            return TDecodeStep { inputSize - stream.avail_in, room - stream.avail_out, status == BZ_STREAM_END,
                status != BZ_OK && status != BZ_STREAM_END };
        });
    }

private:
    bz_stream stream {};
};

} // namespace

std::unique_ptr<TMemberDecoder> MakeBzip2Decoder()
{
    return std::make_unique<Bzip2Decoder>();
}
