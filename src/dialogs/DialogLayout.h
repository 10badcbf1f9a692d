#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>
#include <QToolButton>

// The pieces the small fixed dialogs are laid out from, at their designed pixels.

// A font of the designed family at 8 points (11 pixels); Qt's font matching picks a
// close sans serif where the system lacks the family.
QFont DesignedFont(const char* family);

// A fixed-size dialog with the dialog font and only a close button in its caption.
void SetUpFixedDialog(QDialog& dialog, const QString& caption, int clientWidth, int clientHeight);
// Each piece is placed at Left, Top of its parent: the dialog or one of its boxes.
QLabel* AddLabel(QWidget& parent, const char* name, const QString& text, int left, int top);
// A single-line edit that shows every character as "*".
QLineEdit* AddPasswordEdit(QWidget& parent, const char* name, int left, int top);
// A single-line edit that shows its text in clear. Both kinds take text of any length.
QLineEdit* AddEdit(QWidget& parent, const char* name, int left, int top, int width);
// A push button of the designed 75 x 25. Enter presses the push button that has the
// focus; while none has it, Enter presses the dialog's default button.
QPushButton* AddButton(QWidget& parent, const char* name, const QString& text, int left, int top);
// A flat button with a caption and a hint that never takes the keyboard focus.
QToolButton* AddSpeedButton(QWidget& parent, const char* name, const QString& text, const QString& hint,
    int left, int top, int width);

// Centres a dialog's outer rectangle over the main window's, and keeps it centred while
// it opens (shown at its final size, framed by the window system) until it first
// becomes the active window.
void CentreOverMainWindow(QDialog& dialog);

// Widens a box of Qt's own layout (a message box, an input box) so that its caption
// bar shows its whole title beside the caption's icon and buttons.
void KeepTitleWhole(QDialog& box);
