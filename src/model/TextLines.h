#pragma once

#include <string_view>
#include <vector>

// Splits text into lines: a line ends at CR, LF or CR LF; a NUL byte ends the text;
// a last line without a line end is still a line; an empty text has no lines.
// The lines point into Text.
std::vector<std::string_view> SplitTextLines(std::string_view text);

// The text without the bytes 0x20 and below (blanks and control bytes) at either end.
std::string_view TrimBlanks(std::string_view text);
