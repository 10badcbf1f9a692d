#include "platform/qt/DesktopShell.h"

#include "platform/qt/QtText.h"

#include <QDesktopServices>
#include <QUrl>

#include <utility>

namespace {

void OpenWithDesktopServices(const std::string& link)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(ToQString(link)));
}

TDesktopOpener& CurrentOpener()
{
    static TDesktopOpener opener = OpenWithDesktopServices;
    return opener;
}

} // namespace

void OpenWithDesktop(const std::string& link)
{
    CurrentOpener()(link);
}

TDesktopOpener ReplaceDesktopOpener(TDesktopOpener opener)
{
    return std::exchange(CurrentOpener(), std::move(opener));
}
