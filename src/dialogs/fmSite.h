#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;
class TbrmPwRec;

// A field's bytes as loaded and the text they were shown as. Not every byte
// sequence survives the way into Qt's text and back, so a field whose text is
// still the one shown is written back as its loaded bytes.
struct TShownField {
    std::string bytes;
    QString text;
};

// Shows one site record for viewing and editing; the record is written only on OK.
class TfrmSite : public QDialog {
    Q_OBJECT

public:
    explicit TfrmSite(TbrmPwRec& rec);
    ~TfrmSite() override;

private slots:
    void EditChange();
    void spbLaunchURLClick();
    void spbGenPWClick();
    void spbClipboardClick();
    void btnOKClick();
    void btnCancelClick();

private:
    void CreateControls();
    void ConnectEvents();
    void FormCreate();
    void FormDestroy();
    void LoadFromRec(TbrmPwRec& rec);
    // Shows the first reason the fields cannot be stored and focuses its field.
    bool RefusesFields();
    void WriteToRec();

    QLineEdit* edtSite;
    QLineEdit* edtURL;
    QToolButton* spbLaunchURL;
    QLineEdit* edtUser;
    QToolButton* spbGenPW;
    QLineEdit* edtPW;
    QToolButton* spbClipboard;
    QPlainTextEdit* mmoNote;
    QPushButton* btnOK;
    QPushButton* btnCancel;

    TbrmPwRec* FPwRec = nullptr;
    TShownField FShownSite;
    TShownField FShownURL;
    TShownField FShownUser;
    TShownField FShownPassword;
    TShownField FShownNotes;
};

// Shows the site editor for Rec; on OK (1) the edits are written into Rec, on
// Cancel (2) Rec is left as it was.
int ExecSite(TbrmPwRec& rec);
