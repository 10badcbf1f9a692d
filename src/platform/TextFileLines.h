#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The line handling shared by the settings files that are edited in place.

bool IsBlank(char character); // a space or a TAB
std::string_view Trimmed(std::string_view text);
bool HasLineBreakOrZero(std::string_view text);

// One line of a text: [begin, contentEnd) its content, [contentEnd, end) its line end.
struct TLine {
    std::size_t begin = 0;
    std::size_t contentEnd = 0;
    std::size_t end = 0;

    bool HasLineEnd() const { return end > contentEnd; }
};

// Lines end at LF or CR LF; a last line without one is still a line.
std::vector<TLine> SplitLines(std::string_view text);
// The line end the text already uses ("\n" when it has none), so edited lines match
// their neighbours.
std::string LineEndOf(std::string_view text);

// A text with its lines, for edits that change only the lines they are about.
struct TTextWithLines {
    explicit TTextWithLines(std::string bytes);

    std::string_view Content(std::size_t index) const;
    // The text with its last line ended and that line unchanged: a bare CR at its end
    // is content, so it takes a CR LF after it, as LF alone would make the two a line end.
    std::string Ended() const;
    // The text ending in a blank line, so that what is appended stands apart.
    std::string Separated() const;

    std::string text;
    std::vector<TLine> lines;
    std::string lineEnd;
};
