#pragma once

#include <QDialog>

#include <string>

class QLineEdit;
class QPushButton;

// Asks for a new archive password, typed twice.
class TfrmSavePW : public QDialog {
    Q_OBJECT

public:
    TfrmSavePW();
    const std::string& Password() const { return FPassword; }

private slots:
    void btnOKClick();
    void btnCancelClick();

private:
    QLineEdit* edtPW;
    QLineEdit* edtConfirm;
    QPushButton* btnOK;
    QPushButton* btnCancel;
    std::string FPassword;
};

// 1 with the accepted password put into Password; 2 when cancelled, Password as it was.
int ExecSavePW(std::string& password);
