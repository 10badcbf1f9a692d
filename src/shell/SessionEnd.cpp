#include "shell/SessionEnd.h"

#include "platform/qt/TerminationNotifier.h"

#include <QApplication>
#include <QCloseEvent>
#include <QSessionManager>

namespace {

constexpr int ModalPollMilliseconds = 100;

} // namespace

TSessionEnd::TSessionEnd(QWidget& mainWindow) : mainWindow(&mainWindow)
{
    modalWait.setInterval(ModalPollMilliseconds);
    connect(&modalWait, &QTimer::timeout, this, &TSessionEnd::RequestClose);
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager& manager) {
        if (!AnswerCommitData(manager.allowsInteraction()))
            manager.cancel();
    });
    // On the application, the filter sees the quit and then the window's close.
    qApp->installEventFilter(this);
    termination = std::make_unique<TTerminationNotifier>([this] { RequestClose(); });
}

TSessionEnd::~TSessionEnd() = default;

bool TSessionEnd::AnswerCommitData(bool mayInteract)
{
    if (!mayInteract || mainWindow == nullptr || !mainWindow->isVisible())
        return true;
    // The close event alone asks the window's close question without closing it;
    // the session closes the window later, when it ends.
    QCloseEvent question;
    QCoreApplication::sendEvent(mainWindow, &question);
    return question.isAccepted();
}

void TSessionEnd::RequestClose()
{
    if (mainWindow == nullptr || !mainWindow->isVisible()) {
        modalWait.stop();
        return;
    }
    // A command is waiting for the modal window's answer; closing under it would
    // pull the window from under that command.
    if (QApplication::activeModalWidget() != nullptr) {
        modalWait.start();
        return;
    }
    modalWait.stop();
    mainWindow->close();
}

bool TSessionEnd::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == qApp && event->type() == QEvent::Quit)
        quitting = true;
    // The question belonged to the session's commit request; when the session
    // then quits the program nobody is there to answer it.
    if (quitting && watched == mainWindow && event->type() == QEvent::Close) {
        event->accept();
        return true;
    }
    return false;
}
