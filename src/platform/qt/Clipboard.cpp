#include "platform/qt/Clipboard.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

void CopySecretText(const QString& text)
{
    auto* data = new QMimeData();
    data->setText(text);
    data->setData("x-kde-passwordManagerHint", "secret");
    QApplication::clipboard()->setMimeData(data);
}
