#include "dialogs/fmOpenPW.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/PasswordDialogs.h"
#include "dialogs/brmMsgDlg.h"
#include "platform/qt/QtText.h"

TfrmOpenPW::TfrmOpenPW()
{
    setObjectName("frmOpenPW");
    SetUpFixedDialog(*this, "Password", 241, 117);
    AddLabel(*this, "lblPW", "Enter password", 16, 16);
    edtPW = AddPasswordEdit(*this, "edtPW", 16, 32);
    btnOK = AddButton(*this, "btnOK", "&OK", 56, 72);
    btnCancel = AddButton(*this, "btnCancel", "&Cancel", 144, 72);
    btnOK->setDefault(true);
    setTabOrder(edtPW, btnOK);
    setTabOrder(btnOK, btnCancel);
    edtPW->setFocus();
    CentreOverMainWindow(*this);
    connect(btnOK, &QPushButton::clicked, this, &TfrmOpenPW::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmOpenPW::btnCancelClick);
}

void TfrmOpenPW::btnOKClick()
{
    if (edtPW->text().isEmpty()) {
        MsgDlg().ShowWarning("Please a password");
        edtPW->setFocus();
        return;
    }
    FPassword = FromQString(edtPW->text());
    done(ModalOk);
}

void TfrmOpenPW::btnCancelClick()
{
    done(ModalCancel);
}

int ExecOpenPW(std::string& password)
{
    return ExecPasswordDialog<TfrmOpenPW>(password);
}
