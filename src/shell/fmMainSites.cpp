// The site commands of the main window: Add, Modify and Delete, and the password
// generator of the Tools page.

#include "shell/fmMain.h"

#include "dialogs/PasswordDialogs.h"
#include "dialogs/brmMsgDlg.h"
#include "dialogs/fmGenPW.h"
#include "dialogs/fmSite.h"
#include "shell/ExceptionHandler.h"
#include "shell/SiteListModel.h"

#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QListView>

int TfrmMain::SelectedRow() const
{
    const QModelIndexList selected = lbxSiteList->selectionModel()->selectedRows();
    return selected.isEmpty() ? -1 : selected.first().row();
}

void TfrmMain::SelectRow(int row)
{
    if (row < FSiteItems->Count())
        lbxSiteList->setCurrentIndex(FSiteItems->index(row));
    else
        lbxSiteList->selectionModel()->clear();
}

void TfrmMain::mmiAddClick()
{
    auto record = std::make_unique<TbrmPwRec>();
    if (ExecSite(*record) != ModalOk)
        return;
    SelectRow(FSiteItems->AddRecord(std::move(record)));
    SetModified(true);
}

void TfrmMain::mmiModifyClick()
{
    const int row = SelectedRow();
    if (row < 0 || ExecSite(FSiteItems->Record(row)) != ModalOk)
        return;
    // Taken out and added again, a renamed site moves to its new sorted place.
    SelectRow(FSiteItems->AddRecord(FSiteItems->TakeRecord(row)));
    SetModified(true);
}

void TfrmMain::mmiDeleteClick()
{
    const int row = SelectedRow();
    if (row < 0 || MsgDlg().QueryNo("Delete selected site?"))
        return;
    FSiteItems->TakeRecord(row);
    SelectRow(0);
    SetModified(true);
}

void TfrmMain::mmiGenPWClick()
{
    // Here the generator serves to make and copy a password; what it hands back is not kept.
    std::string password;
    ExecGenPW(password);
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lbxSiteList && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            RunGuarded([this] { mmiModifyClick(); });
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
