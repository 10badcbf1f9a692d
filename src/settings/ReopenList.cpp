#include "settings/ReopenList.h"

#include "platform/TextCompare.h"

#include <algorithm>

namespace {

std::string WithoutAccelerators(const std::string& text)
{
    std::string stripped;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '&') {
            stripped += text[i];
        } else if (i + 1 < text.size() && text[i + 1] == '&') {
            stripped += '&';
            ++i;
        }
    }
    return stripped;
}

} // namespace

bool ReopenPathsMatch(const std::string& a, const std::string& b)
{
    return CompareTextIgnoreCase(WithoutAccelerators(a), WithoutAccelerators(b)) == 0;
}

void AddReopenEntry(TReopenList& list, const std::string& path)
{
    if (path.empty())
        return;
    const auto match = std::find_if(list.begin(), list.end(),
        [&](const std::string& entry) { return ReopenPathsMatch(entry, path); });
    if (match != list.end())
        list.erase(match);
    else if (list.size() >= ReopenListLimit)
        list.pop_back();
    list.insert(list.begin(), path);
}
