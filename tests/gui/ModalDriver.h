#pragma once

#include <functional>

class QTimer;
class QWidget;

// Runs Action on a window once Find yields it shown, from the event loop that is
// running then; used to read and answer windows the way a user would.
void WhenWidgetShown(std::function<QWidget*()> find, std::function<void(QWidget*)> action);

// The same for the next modal window (a message box or dialog).
void WhenModalShown(std::function<void(QWidget*)> action);

// The same once that window is the active one: keys and focus reach only the active
// window, and a test run on its own starts with none.
void WhenModalActive(std::function<void(QWidget*)> action);

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
