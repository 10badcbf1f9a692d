#include "archive/MemberDecoder.h"

#include "platform/AppError.h"

#include <algorithm>
#include <string>
#include <zlib.h>

std::unique_ptr<TMemberDecoder> MakeDeflateDecoder();

namespace {

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
        std::string input(64 * 1024, '\0');
        std::string output(64 * 1024, '\0');
        std::uint64_t left = size;
        bool sourceEnded = false;
        for (;;) {
            if (stream.avail_in == 0 && !sourceEnded) {
                const std::size_t got = source.Read(input.data(), input.size());
                sourceEnded = got == 0;
                stream.next_in = reinterpret_cast<Bytef*>(input.data());
                stream.avail_in = static_cast<uInt>(got);
            }
            // One byte of room beyond the declared size shows a stream that holds more.
            const std::size_t room = static_cast<std::size_t>(std::min<std::uint64_t>(left + 1, output.size()));
            stream.next_out = reinterpret_cast<Bytef*>(output.data());
            stream.avail_out = static_cast<uInt>(room);
            const int status = inflate(&stream, Z_NO_FLUSH);
            const std::size_t produced = room - stream.avail_out;
            if (produced > left || status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_MEM_ERROR)
                RaiseDamagedData();
            if (produced > 0)
                sink(std::string_view(output.data(), produced));
            left -= produced;
            if (status == Z_STREAM_END) {
                if (left != 0)
                    RaiseDamagedData();
                return;
            }
            if (produced == 0 && stream.avail_in == 0 && sourceEnded)
                RaiseDamagedData();
        }
    }

private:
    z_stream stream {};
};

} // namespace

std::unique_ptr<TMemberDecoder> MakeDeflateDecoder()
{
    return std::make_unique<DeflateDecoder>();
}
