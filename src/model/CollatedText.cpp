#include "model/CollatedText.h"

#include "platform/TextCompare.h"

#include <string>

TCollatedText TCollatedText::WithHead(std::string_view text)
{
    // The first sixteen key bytes, left-aligned; key bytes are never zero, so a zero
    // last byte means the head holds the whole key.
    const std::string prefix = SortKeyPrefixIgnoreCase(text, sizeof(sortHead));
    TCollatedText collated { { 0, 0 }, text };
    for (std::size_t i = 0; i < sizeof(sortHead); ++i) {
        std::uint64_t& word = collated.sortHead[i / 8];
        word = word << 8 | (i < prefix.size() ? static_cast<unsigned char>(prefix[i]) : 0u);
    }
    return collated;
}

// Heads hold key bytes, never zero, padded with zeros, so no head has a zero byte
// before a non-zero one: this value marks a text without one.
TCollatedText TCollatedText::WithoutHead(std::string_view text)
{
    return TCollatedText { { 0, 1 }, text };
}

bool TCollatedText::HasHead() const
{
    return sortHead[0] != 0 || sortHead[1] != 1;
}

int CompareCollated(const TCollatedText& a, const TCollatedText& b)
{
    if (a.HasHead() && b.HasHead()) {
        for (std::size_t i = 0; i < 2; ++i)
            if (a.sortHead[i] != b.sortHead[i])
                return a.sortHead[i] < b.sortHead[i] ? -1 : 1;
        if ((a.sortHead[1] & 0xFF) == 0)
            return 0;
    }
    return CompareTextIgnoreCase(a.text, b.text);
}
