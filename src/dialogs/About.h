#pragma once

#include <QDialog>

class QKeyEvent;
class QLabel;
class QPushButton;

// The product's title, version, rights holder and home page, with a word of warning.
// Only OK, Enter and the close box end it; Escape does not.
class TFormAbout : public QDialog {
    Q_OBJECT

public:
    explicit TFormAbout(QWidget* owner);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The close box ends it as Cancel.
    void reject() override;

private slots:
    void ButtonOKClick();

private:
    void CreateControls();
    void FormCreate();
    void LabelWebClick();

    QLabel* ImageIcon;
    QLabel* LabelAppName;
    QLabel* LabelVersion;
    QLabel* LabelCopyRight;
    QLabel* LabelWarning;
    QLabel* LabelWeb;
    QPushButton* ButtonOK;
};

// Shows the About box modally over the main window, which owns it while it is shown.
void ShowAboutBox(QWidget& mainWindow);
