#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QString>

// The pieces the small fixed dialogs are laid out from, at their designed pixels.

// A font of the designed family at 8 points (11 pixels); Qt's font matching picks a
// close sans serif where the system lacks the family.
QFont DesignedFont(const char* family);

// A fixed-size dialog with the dialog font and only a close button in its caption.
void SetUpFixedDialog(QDialog& dialog, const QString& caption, int clientWidth, int clientHeight);
QLabel* AddLabel(QDialog& dialog, const char* name, const QString& text, int left, int top);
// A single-line edit that shows every character as "*".
QLineEdit* AddPasswordEdit(QDialog& dialog, const char* name, int left, int top);
QPushButton* AddButton(QDialog& dialog, const char* name, const QString& text, int left, int top);

// Places a dialog without an owner over the centre of the main window.
void CentreOverMainWindow(QDialog& dialog);
