#pragma once

#include <QDialog>

class QLabel;
class QPushButton;
class TbrmPwList;
class TImportListBox;

// Lets the user choose which sites of another archive are copied: the sites on the
// left, the chosen ones on the right, moved between them by the buttons or by
// dragging. Every item owns its site record; moving an item moves the record.
class TfrmImport : public QDialog {
    Q_OBJECT

public:
    explicit TfrmImport(TbrmPwList& list);
    ~TfrmImport() override;

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private slots:
    void btnAddClick();
    void btnAddAllClick();
    void btnRemoveClick();
    void btnRemoveAllClick();
    void btnOKClick();
    void btnCancelClick();

private:
    void CreateControls();
    void CreateButtonPanel();
    void SetTabOrders();
    void ConnectEvents();
    void FormCreate();
    void FormDestroy();
    void KeepAnchors();
    void FormResize();
    void FillFromList();
    void KeepOuterMinimumSize();

    QLabel* lblFromArchive;
    QLabel* lblCopyItems;
    TImportListBox* lbxFromArchive;
    TImportListBox* lbxCopyItems;
    QWidget* pnlButtons;
    QPushButton* btnAdd;
    QPushButton* btnAddAll;
    QPushButton* btnRemoveAll;
    QPushButton* btnRemove;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    TbrmPwList* FPwList;
    bool FMinimumFramed = false;
};

// Shows the import selection for the sites of List; on OK (1) List holds exactly the
// chosen sites, on Cancel (2) it is left as it was.
int ExecImport(TbrmPwList& list);
