#pragma once

#include <string>
#include <string_view>

// Text comparison by the user's locale, ignoring letter case (accents still count).
// Negative when A orders first, zero when equal, positive otherwise.
int CompareTextIgnoreCase(std::string_view a, std::string_view b);

// The first MaxBytes bytes of the text's sort key, whose byte order is that of
// CompareTextIgnoreCase; fewer bytes when the whole key is shorter. Key bytes are
// never zero. Cheap to build for a short prefix, so many comparisons can start
// from it and fall back to CompareTextIgnoreCase only when prefixes agree.
std::string SortKeyPrefixIgnoreCase(std::string_view text, std::size_t maxBytes);

// The text upper-cased by the platform's ANSI rules.
std::string AnsiUpperCase(std::string_view text);
