#include "archive/BoundedDecode.h"

#include <algorithm>
#include <string>

std::unique_ptr<TMemberDecoder> MakeStoredDecoder();

namespace {

class StoredDecoder : public TMemberDecoder {
public:
    void Decode(TMemberSource& source, std::uint64_t size, const TDecodedSink& sink) override
    {
        std::string buffer(64 * 1024, '\0');
        while (size > 0) {
            const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(size, buffer.size()));
            const std::size_t got = ReadAhead(source, buffer.data(), want);
            // Stored bytes are the text itself: data that ends early cannot hold the size.
            if (got < want)
                RaiseDamagedData();
            sink(std::string_view(buffer.data(), got));
            size -= got;
        }
    }
};

} // namespace

std::unique_ptr<TMemberDecoder> MakeStoredDecoder()
{
    return std::make_unique<StoredDecoder>();
}
