#include "model/SiteListStream.h"

#include "model/brmPW.h"
#include "platform/AppError.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr std::string_view LineEnd = "\r\n";

} // namespace

TSiteListStream::TSiteListStream(const TbrmPwList& list) : list(list)
{
    for (int i = 0; i < list.Count(); ++i)
        size += list.Strings(i).size() + LineEnd.size();
}

std::size_t TSiteListStream::Read(void* buffer, std::size_t count)
{
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count && line < list.Count()) {
        const std::string_view text = list.Strings(line);
        const std::size_t lineSize = text.size() + LineEnd.size();
        while (done < count && offset < lineSize) {
            const std::string_view part = offset < text.size() ? text.substr(offset) : LineEnd.substr(offset - text.size());
            const std::size_t length = std::min(part.size(), count - done);
            std::memcpy(out + done, part.data(), length);
            done += length;
            offset += length;
        }
        if (offset == lineSize) {
            ++line;
            offset = 0;
        }
    }
    position += done;
    return done;
}

void TSiteListStream::Write(const void*, std::size_t)
{
    throw AppError("Stream write error");
}

void TSiteListStream::SetPosition(std::uint64_t newPosition)
{
    if (newPosition < position || position > size) {
        position = 0;
        line = 0;
        offset = 0;
    }
    // Walks forward line by line; readers only ever rewind to the start.
    std::uint64_t left = std::min(newPosition, size) - position;
    while (left > 0) {
        const std::size_t lineSize = list.Strings(line).size() + LineEnd.size();
        const auto step = static_cast<std::size_t>(std::min<std::uint64_t>(left, lineSize - offset));
        offset += step;
        left -= step;
        if (offset == lineSize) {
            ++line;
            offset = 0;
        }
    }
    position = newPosition;
}
