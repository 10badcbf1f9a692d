#pragma once

#include <QDialog>

#include <string>

class QLineEdit;
class QPushButton;

// Asks for the password of an archive being read.
class TfrmOpenPW : public QDialog {
    Q_OBJECT

public:
    TfrmOpenPW();
    const std::string& Password() const { return FPassword; }

private slots:
    void btnOKClick();
    void btnCancelClick();

private:
    QLineEdit* edtPW;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    std::string FPassword;
};

// 1 with the accepted password put into Password; 2 when cancelled, Password as it was.
int ExecOpenPW(std::string& password);
