#include "ModalDriver.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

void WhenWidgetShown(std::function<QWidget*()> find, std::function<void(QWidget*)> action)
{
    QTimer::singleShot(10, [find = std::move(find), action = std::move(action)]() mutable {
        QWidget* widget = find();
        if (widget != nullptr && widget->isVisible())
            action(widget);
        else
            WhenWidgetShown(std::move(find), std::move(action));
    });
}

void WhenModalShown(std::function<void(QWidget*)> action)
{
    WhenWidgetShown([] { return QApplication::activeModalWidget(); }, std::move(action));
}

TModalCatcher::TModalCatcher() : timer(new QTimer())
{
    QObject::connect(timer, &QTimer::timeout, [this] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++caught;
            modal->close();
        }
    });
    timer->start(10);
}

TModalCatcher::~TModalCatcher()
{
    delete timer;
}
