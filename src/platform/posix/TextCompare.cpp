#include "platform/TextCompare.h"

#include "platform/AppError.h"

#include <unicode/ucasemap.h>
#include <unicode/ucol.h>
#include <unicode/uiter.h>
#include <unicode/uloc.h>

#include <cstring>
#include <memory>

// Text is the locale's character set, which is UTF-8 on every system we build for;
// bytes that do not decode compare as the replacement character.
namespace {

// ICU maps the C and POSIX locales to en_US_POSIX, whose collation orders by code
// point and so cannot ignore case; the root collation can.
const char* CollationLocale()
{
    const char* locale = uloc_getDefault();
    if (locale == nullptr || std::strncmp(locale, "en_US_POSIX", 11) == 0)
        return "";
    return locale;
}

struct CollatorDeleter {
    void operator()(UCollator* collator) const { ucol_close(collator); }
};

UCollator* Collator()
{
    thread_local std::unique_ptr<UCollator, CollatorDeleter> collator = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* opened = ucol_open(CollationLocale(), &status);
        if (U_FAILURE(status))
            throw AppError(std::string("Cannot open the text collator: ") + u_errorName(status));
        ucol_setStrength(opened, UCOL_SECONDARY);
        return std::unique_ptr<UCollator, CollatorDeleter>(opened);
    }();
    return collator.get();
}

// Both the comparison and the sort keys read the text through the same iterator, so
// bytes that do not decode are interpreted alike by both and the order stays total.
UCharIterator Utf8Iterator(std::string_view text)
{
    UCharIterator iterator;
    uiter_setUTF8(&iterator, text.data(), static_cast<int32_t>(text.size()));
    return iterator;
}

} // namespace

int CompareTextIgnoreCase(std::string_view a, std::string_view b)
{
    UCharIterator first = Utf8Iterator(a);
    UCharIterator second = Utf8Iterator(b);
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult result = ucol_strcollIter(Collator(), &first, &second, &status);
    if (U_FAILURE(status))
        throw AppError(std::string("Cannot compare text: ") + u_errorName(status));
    return static_cast<int>(result);
}

std::string SortKeyPrefixIgnoreCase(std::string_view text, std::size_t maxBytes)
{
    UCharIterator iterator = Utf8Iterator(text);
    uint32_t state[2] = { 0, 0 };
    std::string prefix(maxBytes, '\0');
    UErrorCode status = U_ZERO_ERROR;
    const int32_t written = ucol_nextSortKeyPart(Collator(), &iterator, state,
        reinterpret_cast<uint8_t*>(prefix.data()), static_cast<int32_t>(maxBytes), &status);
    if (U_FAILURE(status))
        throw AppError(std::string("Cannot build a sort key: ") + u_errorName(status));
    prefix.resize(static_cast<std::size_t>(written));
    return prefix;
}

std::string AnsiUpperCase(std::string_view text)
{
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<UCaseMap, decltype(&ucasemap_close)> caseMap(ucasemap_open("", 0, &status), ucasemap_close);
    if (U_FAILURE(status))
        throw AppError(std::string("Cannot open the case map: ") + u_errorName(status));
    std::string upper(text.size() + 16, '\0');
    int32_t length = ucasemap_utf8ToUpper(caseMap.get(), upper.data(), static_cast<int32_t>(upper.size()),
        text.data(), static_cast<int32_t>(text.size()), &status);
    if (status == U_BUFFER_OVERFLOW_ERROR) {
        status = U_ZERO_ERROR;
        upper.resize(static_cast<std::size_t>(length));
        length = ucasemap_utf8ToUpper(caseMap.get(), upper.data(), static_cast<int32_t>(upper.size()),
            text.data(), static_cast<int32_t>(text.size()), &status);
    }
    if (U_FAILURE(status))
        throw AppError(std::string("Cannot upper-case text: ") + u_errorName(status));
    upper.resize(static_cast<std::size_t>(length));
    return upper;
}
