#include "ModalDriver.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

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

void WhenModalActive(std::function<void(QWidget*)> action)
{
    WhenModalShown([action = std::move(action)](QWidget* modal) {
        modal->activateWindow();
        if (!QTest::qWaitForWindowActive(modal))
            ADD_FAILURE() << modal->windowTitle().toStdString() << " never became the active window";
        action(modal);
    });
}

void AcknowledgeMessage(QString& text)
{
    WhenModalShown([&text](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        ASSERT_NE(box, nullptr) << "not a message box: " << modal->windowTitle().toStdString();
        text = box->text();
        box->button(QMessageBox::Ok)->click();
    });
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
