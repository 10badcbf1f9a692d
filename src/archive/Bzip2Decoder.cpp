#include "archive/MemberDecoder.h"

#include "platform/AppError.h"

#include <algorithm>
#include <bzlib.h>
#include <string>

std::unique_ptr<TMemberDecoder> MakeBzip2Decoder();

namespace {

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
        std::string input(64 * 1024, '\0');
        std::string output(64 * 1024, '\0');
        std::uint64_t left = size;
        bool sourceEnded = false;
        for (;;) {
            if (stream.avail_in == 0 && !sourceEnded) {
                const std::size_t got = source.Read(input.data(), input.size());
                sourceEnded = got == 0;
                stream.next_in = input.data();
                stream.avail_in = static_cast<unsigned int>(got);
            }
            // One byte of room beyond the declared size shows a stream that holds more.
            const std::size_t room = static_cast<std::size_t>(std::min<std::uint64_t>(left + 1, output.size()));
            stream.next_out = output.data();
            stream.avail_out = static_cast<unsigned int>(room);
            const int status = BZ2_bzDecompress(&stream);
            const std::size_t produced = room - stream.avail_out;
            if (produced > left || (status != BZ_OK && status != BZ_STREAM_END))
                RaiseDamagedData();
            if (produced > 0)
                sink(std::string_view(output.data(), produced));
            left -= produced;
            if (status == BZ_STREAM_END) {
                if (left != 0)
                    RaiseDamagedData();
                return;
            }
            if (produced == 0 && stream.avail_in == 0 && sourceEnded)
                RaiseDamagedData();
        }
    }

private:
    bz_stream stream {};
};

} // namespace

std::unique_ptr<TMemberDecoder> MakeBzip2Decoder()
{
    return std::make_unique<Bzip2Decoder>();
}
