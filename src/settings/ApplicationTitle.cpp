#include "settings/ApplicationTitle.h"

namespace {

constexpr std::size_t MaximumTitleCharacters = 255;

std::string applicationTitle;

bool IsContinuationByte(char byte)
{
    return (static_cast<unsigned char>(byte) & 0xC0) == 0x80;
}

} // namespace

std::string ApplicationTitle()
{
    std::size_t characters = 0;
    for (std::size_t i = 0; i < applicationTitle.size(); ++i) {
        if (!IsContinuationByte(applicationTitle[i]) && ++characters > MaximumTitleCharacters)
            return applicationTitle.substr(0, i);
    }
    return applicationTitle;
}

void SetApplicationTitle(const std::string& title)
{
    applicationTitle = title;
}
