#include "platform/qt/ScreenCursor.h"

#include <QCursor>
#include <QGuiApplication>

void ShowBusyScreenCursor()
{
    if (QGuiApplication::overrideCursor() == nullptr)
        QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
    else
        QGuiApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
}

void ShowDefaultScreenCursor()
{
    while (QGuiApplication::overrideCursor() != nullptr)
        QGuiApplication::restoreOverrideCursor();
}
