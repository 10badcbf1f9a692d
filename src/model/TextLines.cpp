#include "model/TextLines.h"

#include <algorithm>
#include <cstring>

namespace {

// The next position of Byte at or after Start, or the text's size; memchr scans far
// faster than a byte loop testing both line-end bytes.
std::size_t NextOf(std::string_view text, char byte, std::size_t start)
{
    if (start >= text.size())
        return text.size();
    const void* found = std::memchr(text.data() + start, byte, text.size() - start);
    return found == nullptr ? text.size() : static_cast<std::size_t>(static_cast<const char*>(found) - text.data());
}

} // namespace

std::vector<std::string_view> SplitTextLines(std::string_view text)
{
    text = text.substr(0, NextOf(text, '\0', 0));
    std::vector<std::string_view> lines;
    // Site lines run to about a hundred bytes; reserving saves the regrowing copies.
    lines.reserve(text.size() / 64 + 1);
    std::size_t nextCR = NextOf(text, '\r', 0);
    std::size_t nextLF = NextOf(text, '\n', 0);
    std::size_t start = 0;
    while (start < text.size()) {
        if (nextCR < start)
            nextCR = NextOf(text, '\r', start);
        if (nextLF < start)
            nextLF = NextOf(text, '\n', start);
        const std::size_t end = std::min(nextCR, nextLF);
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
        if (end == nextCR && nextLF == start)
            ++start;
    }
    return lines;
}

std::string_view TrimBlanks(std::string_view text)
{
    auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    std::size_t first = 0;
    std::size_t last = text.size();
    while (first < last && isBlank(text[first]))
        ++first;
    while (last > first && isBlank(text[last - 1]))
        --last;
    return text.substr(first, last - first);
}
