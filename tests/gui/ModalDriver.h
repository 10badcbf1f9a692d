#pragma once

#include <QWidget>

#include <functional>
#include <stdexcept>
#include <string>

class QString;
class QTimer;

// Runs Action on a window once Find yields it shown, from the event loop that is
// running then; used to read and answer windows the way a user would.
void WhenWidgetShown(std::function<QWidget*()> find, std::function<void(QWidget*)> action);

// The same for the next modal window (a message box or dialog).
void WhenModalShown(std::function<void(QWidget*)> action);

// The same once that window is the active one: keys and focus reach only the active
// window, and a test run on its own starts with none.
void WhenModalActive(std::function<void(QWidget*)> action);

// Answers the next message box with OK; Text gets what it said.
void AcknowledgeMessage(QString& text);

// The named control of a window, or an exception that names the missing one.
template <typename Control>
Control& FindControl(QWidget& window, const char* name)
{
    auto* control = window.findChild<Control*>(name);
    if (control == nullptr)
        throw std::runtime_error(std::string("no control ") + name);
    return *control;
}

// While it lives, closes every modal window that opens and counts them; for checking
// that a command shows nothing, without hanging when it would.
class TModalCatcher {
public:
    TModalCatcher();
    ~TModalCatcher();
    TModalCatcher(const TModalCatcher&) = delete;
    TModalCatcher& operator=(const TModalCatcher&) = delete;

    int Caught() const { return caught; }

private:
    QTimer* timer;
    int caught = 0;
};
