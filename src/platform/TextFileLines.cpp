#include "platform/TextFileLines.h"

bool IsBlank(char character)
{
    return character == ' ' || character == '\t';
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool HasLineBreakOrZero(std::string_view text)
{
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

std::vector<TLine> SplitLines(std::string_view text)
{
    std::vector<TLine> lines;
    for (std::size_t begin = 0; begin < text.size();) {
        const std::size_t newline = text.find('\n', begin);
        if (newline == std::string_view::npos) {
            lines.push_back({ begin, text.size(), text.size() });
            break;
        }
        const bool crlf = newline > begin && text[newline - 1] == '\r';
        lines.push_back({ begin, crlf ? newline - 1 : newline, newline + 1 });
        begin = newline + 1;
    }
    return lines;
}

std::string LineEndOf(std::string_view text)
{
    const std::size_t newline = text.find('\n');
    return newline != std::string_view::npos && newline > 0 && text[newline - 1] == '\r' ? "\r\n" : "\n";
}

TTextWithLines::TTextWithLines(std::string bytes)
    : text(std::move(bytes)), lines(SplitLines(text)), lineEnd(LineEndOf(text))
{
}

std::string_view TTextWithLines::Content(std::size_t index) const
{
    return std::string_view(text).substr(lines[index].begin, lines[index].contentEnd - lines[index].begin);
}

std::string TTextWithLines::Ended() const
{
    if (lines.empty() || lines.back().HasLineEnd())
        return text;
    return text + (Content(lines.size() - 1).ends_with('\r') ? "\r\n" : lineEnd);
}

std::string TTextWithLines::Separated() const
{
    if (lines.empty())
        return text;
    std::string separated = Ended();
    if (!Trimmed(Content(lines.size() - 1)).empty())
        separated += lineEnd;
    return separated;
}
