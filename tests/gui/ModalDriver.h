#pragma once

#include <functional>

class QWidget;

// Runs Action on a window once Find yields it shown, from the event loop that is
// running then; used to read and answer windows the way a user would.
void WhenWidgetShown(std::function<QWidget*()> find, std::function<void(QWidget*)> action);

// The same for the next modal window (a message box or dialog).
void WhenModalShown(std::function<void(QWidget*)> action);
