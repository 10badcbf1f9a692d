#include "platform/TextCompare.h"

#include "platform/AppError.h"

#include <windows.h>

int CompareTextIgnoreCase(std::string_view a, std::string_view b)
{
    const int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
        b.data(), static_cast<int>(b.size()));
    if (result == 0)
        throw AppError("Cannot compare text. " + LastSystemErrorText());
    return result - CSTR_EQUAL;
}

std::string SortKeyPrefixIgnoreCase(std::string_view text, std::size_t maxBytes)
{
    if (text.empty())
        return std::string();
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    const int needed = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.data(), static_cast<int>(text.size()),
        nullptr, 0);
    std::string key(static_cast<std::size_t>(needed), '\0');
    LCMapStringA(LOCALE_USER_DEFAULT, flags, text.data(), static_cast<int>(text.size()), key.data(), needed);
    if (!key.empty() && key.back() == '\0')
        key.pop_back();
    if (key.size() > maxBytes)
        key.resize(maxBytes);
    return key;
}

std::string AnsiUpperCase(std::string_view text)
{
    std::string upper(text);
    if (!upper.empty())
        CharUpperBuffA(upper.data(), static_cast<DWORD>(upper.size()));
    return upper;
}
