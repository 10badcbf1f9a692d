#pragma once

#include <cstdint>
#include <string_view>

// A text with the head of its sort key (the locale's order ignoring case), which
// settles most comparisons without reading the text. A text may also carry no
// head, when it is rarely compared; it is then compared by the collator.
struct TCollatedText {
    std::uint64_t sortHead[2];
    std::string_view text;

    static TCollatedText WithHead(std::string_view text);
    static TCollatedText WithoutHead(std::string_view text);
    bool HasHead() const;
};

// Negative, zero or positive as A orders before, with or after B by the locale
// ignoring case; zero for texts the locale counts as equal, whatever their bytes.
int CompareCollated(const TCollatedText& a, const TCollatedText& b);
