#include "platform/ProfileText.h"

#include "platform/TextFileLines.h"

std::string_view Unquoted(std::string_view value)
{
    const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'')
        && value.back() == value.front();
    return quoted ? value.substr(1, value.size() - 2) : value;
}

std::string StoredValue(std::string_view value)
{
    const bool needsQuotes = !value.empty()
        && (IsBlank(value.front()) || IsBlank(value.back()) || Unquoted(value).size() != value.size());
    return needsQuotes ? "\"" + std::string(value) + "\"" : std::string(value);
}

bool CanBeStored(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string_view name = Trimmed(key);
    return !name.empty() && name.find('=') == std::string_view::npos && name.front() != ';' && name.front() != '['
        && !HasLineBreakOrZero(section) && !HasLineBreakOrZero(key) && !HasLineBreakOrZero(value);
}
