#include "platform/qt/DesktopShell.h"

#include "platform/qt/QtText.h"

#include <QDesktopServices>
#include <QUrl>

void OpenWithDesktop(const std::string& link)
{
    QDesktopServices::openUrl(QUrl::fromUserInput(ToQString(link)));
}
