#include "dialogs/fmSavePW.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/PasswordDialogs.h"
#include "dialogs/brmMsgDlg.h"
#include "platform/qt/QtText.h"

TfrmSavePW::TfrmSavePW()
{
    setObjectName("frmSavePW");
    SetUpFixedDialog(*this, "Password", 241, 170);
    AddLabel(*this, "lblPW", "New password", 16, 16);
    edtPW = AddPasswordEdit(*this, "edtPW", 16, 32);
    AddLabel(*this, "lblConfirm", "Confirm password", 16, 72);
    edtConfirm = AddPasswordEdit(*this, "edtConfirm", 16, 88);
    btnOK = AddButton(*this, "btnOK", "&OK", 56, 128);
    btnCancel = AddButton(*this, "btnCancel", "&Cancel", 144, 128);
    btnOK->setDefault(true);
    setTabOrder(edtPW, edtConfirm);
    setTabOrder(edtConfirm, btnOK);
    setTabOrder(btnOK, btnCancel);
    edtPW->setFocus();
    CentreOverMainWindow(*this);
    connect(btnOK, &QPushButton::clicked, this, &TfrmSavePW::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmSavePW::btnCancelClick);
}

void TfrmSavePW::btnOKClick()
{
    const char* problem = edtPW->text().isEmpty() ? "Please a password"
        : edtPW->text() != edtConfirm->text()     ? "New password and confirmation must be the same"
                                                  : nullptr;
    if (problem != nullptr) {
        MsgDlg().ShowWarning(problem);
        edtPW->setFocus();
        return;
    }
    FPassword = FromQString(edtPW->text());
    done(ModalOk);
}

void TfrmSavePW::btnCancelClick()
{
    done(ModalCancel);
}

int ExecSavePW(std::string& password)
{
    return ExecPasswordDialog<TfrmSavePW>(password);
}
