#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <memory>

class TTerminationNotifier;

// Ends the program as closing its main window does when the end comes from
// outside: a termination signal becomes a close request on the event loop, the
// desktop session's end asks the close question, and the session's final quit
// then closes the window without asking again.
class TSessionEnd : public QObject {
public:
    explicit TSessionEnd(QWidget& mainWindow);
    ~TSessionEnd() override;

    // The session's request to commit data: the close question, asked only when
    // the session lets the program interact. False when the user wanted a save
    // that did not happen, so the session's end is to be cancelled.
    bool AnswerCommitData(bool mayInteract);
    // Closes the main window as its close box does; while a modal window is open
    // the request waits for it, and once the main window is closed it is dropped.
    void RequestClose();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> mainWindow;
    QTimer modalWait;
    bool quitting = false;
    std::unique_ptr<TTerminationNotifier> termination;
};
