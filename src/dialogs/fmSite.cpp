#include "dialogs/fmSite.h"

#include "dialogs/DialogLayout.h"
#include "dialogs/PasswordDialogs.h"
#include "dialogs/brmMsgDlg.h"
#include "dialogs/fmGenPW.h"
#include "model/TextLines.h"
#include "model/brmPW.h"
#include "platform/qt/Clipboard.h"
#include "platform/qt/DesktopShell.h"
#include "platform/qt/QtText.h"
#include "settings/brmState.h"
#include "services/brmFormRtn.h"

#include <QKeyEvent>
#include <QPlainTextEdit>

#include <memory>
#include <string_view>
#include <utility>

namespace {

const char* const PlacementName = "TfrmSite";
const QString LineBreak = QStringLiteral("\r\n");
// The site line has no escape for these, and a NUL ends the whole text when it is read.
constexpr std::string_view TabAndLineBreaks = "\t\r\n";
constexpr std::string_view Nul("\0", 1);

// Enter makes a new line and Escape does nothing here: neither reaches the
// dialog's buttons while the notes are being typed.
class TNoteMemo : public QPlainTextEdit {
public:
    using QPlainTextEdit::QPlainTextEdit;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        QPlainTextEdit::keyPressEvent(event);
        if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
            event->accept();
    }
};

QPlainTextEdit* AddMemo(QWidget& parent, const char* name, int left, int top, int width, int height)
{
    auto* memo = new TNoteMemo(&parent);
    memo->setObjectName(name);
    memo->setGeometry(left, top, width, height);
    memo->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setTabChangesFocus(true);
    return memo;
}

// The notes with their CR LF line breaks as the memo's lines.
void ShowNotes(QPlainTextEdit& memo, const std::string& notes)
{
    memo.setPlainText(ToQString(notes).replace(LineBreak, QStringLiteral("\n")));
}

// The memo's lines joined by CR LF. The raw text keeps characters such as the
// no-break space that the plain text would change.
QString MemoText(const QPlainTextEdit& memo)
{
    QString text = memo.document()->toRawText();
    return text.replace(QChar::ParagraphSeparator, LineBreak).replace(QChar::LineSeparator, LineBreak);
}

std::string FieldBytes(const QString& text, const TShownField& shown)
{
    return text == shown.text ? shown.bytes : FromQString(text);
}

// Only what the setter keeps counts: blanks and control bytes at the ends never reach the line.
bool HoldsInnerAnyOf(std::string_view value, std::string_view bytes)
{
    return TrimBlanks(value).find_first_of(bytes) != std::string_view::npos;
}

} // namespace

TfrmSite::TfrmSite(TbrmPwRec& rec)
{
    CreateControls();
    ConnectEvents();
    FormCreate();
    LoadFromRec(rec);
}

TfrmSite::~TfrmSite()
{
    FormDestroy();
}

void TfrmSite::CreateControls()
{
    setObjectName("frmSite");
    SetUpFixedDialog(*this, "Site", 391, 391);
    AddLabel(*this, "lblSite", "Site name / description", 16, 16);
    edtSite = AddEdit(*this, "edtSite", 16, 32, 369);
    AddLabel(*this, "lblURL", "Site URL", 16, 64);
    edtURL = AddEdit(*this, "edtURL", 16, 80, 265);
    spbLaunchURL = AddSpeedButton(*this, "spbLaunchURL", "Launch", "Launch browser to this URL", 288, 80, 97);
    AddLabel(*this, "lblUser", "User name", 16, 112);
    edtUser = AddEdit(*this, "edtUser", 16, 128, 369);
    AddLabel(*this, "lblPW", "Password", 16, 160);
    spbGenPW = AddSpeedButton(*this, "spbGenPW", "Generate", "Generate a password", 16, 176, 57);
    edtPW = AddEdit(*this, "edtPW", 80, 176, 201);
    spbClipboard = AddSpeedButton(*this, "spbClipboard", "Copy password", "Copy password to clipboard", 288, 176, 97);
    AddLabel(*this, "lblNote", "Notes", 16, 208);
    mmoNote = AddMemo(*this, "mmoNote", 16, 224, 369, 105);
    btnOK = AddButton(*this, "btnOK", "&OK", 214, 349);
    btnCancel = AddButton(*this, "btnCancel", "&Cancel", 302, 349);
    btnOK->setDefault(true);
    setTabOrder(edtSite, edtURL);
    setTabOrder(edtURL, edtUser);
    setTabOrder(edtUser, edtPW);
    setTabOrder(edtPW, mmoNote);
    setTabOrder(mmoNote, btnOK);
    setTabOrder(btnOK, btnCancel);
    edtSite->setFocus();
}

void TfrmSite::ConnectEvents()
{
    for (QLineEdit* edit : { edtSite, edtURL, edtUser, edtPW })
        connect(edit, &QLineEdit::textChanged, this, &TfrmSite::EditChange);
    connect(mmoNote, &QPlainTextEdit::textChanged, this, &TfrmSite::EditChange);
    connect(spbLaunchURL, &QToolButton::clicked, this, &TfrmSite::spbLaunchURLClick);
    connect(spbGenPW, &QToolButton::clicked, this, &TfrmSite::spbGenPWClick);
    connect(spbClipboard, &QToolButton::clicked, this, &TfrmSite::spbClipboardClick);
    connect(btnOK, &QPushButton::clicked, this, &TfrmSite::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &TfrmSite::btnCancelClick);
}

void TfrmSite::FormCreate()
{
    FormRtn().RestorePlacement(*this, State().Values(PlacementName));
    CentreOverMainWindow(*this);
}

void TfrmSite::FormDestroy()
{
    State().SetValues(PlacementName, FormRtn().SavePlacement(*this));
}

void TfrmSite::LoadFromRec(TbrmPwRec& rec)
{
    FPwRec = &rec;
    edtSite->setText(ToQString(rec.SiteName()));
    edtURL->setText(ToQString(rec.URL()));
    edtUser->setText(ToQString(rec.UserName()));
    edtPW->setText(ToQString(rec.Password()));
    const std::string notes = rec.Notes();
    ShowNotes(*mmoNote, notes);
    FShownSite = { rec.SiteName(), edtSite->text() };
    FShownURL = { rec.URL(), edtURL->text() };
    FShownUser = { rec.UserName(), edtUser->text() };
    FShownPassword = { rec.Password(), edtPW->text() };
    FShownNotes = { notes, MemoText(*mmoNote) };
    btnOK->setEnabled(false);
}

void TfrmSite::EditChange()
{
    btnOK->setEnabled(true);
}

void TfrmSite::spbLaunchURLClick()
{
    OpenWithDesktop(FieldBytes(edtURL->text(), FShownURL));
}

void TfrmSite::spbGenPWClick()
{
    std::string password;
    if (ExecGenPW(password) != ModalOk)
        return;
    edtPW->setText(ToQString(password));
    EditChange();
}

void TfrmSite::spbClipboardClick()
{
    edtPW->selectAll();
    CopySecretText(edtPW->text());
}

bool TfrmSite::RefusesFields()
{
    const auto refuse = [](QWidget* field, const std::string& msg) {
        MsgDlg().ShowError(msg);
        field->setFocus();
        return true;
    };
    if (edtSite->text().isEmpty())
        return refuse(edtSite, "Site name / Description must be filled");
    if (HoldsInnerAnyOf(FieldBytes(edtSite->text(), FShownSite), "="))
        return refuse(edtSite, "Site name / Description must not contain \"=\"");
    const std::pair<QLineEdit*, const TShownField*> lineFields[] = {
        { edtSite, &FShownSite }, { edtURL, &FShownURL }, { edtUser, &FShownUser }, { edtPW, &FShownPassword } };
    for (const auto& [edit, shown] : lineFields) {
        const std::string bytes = FieldBytes(edit->text(), *shown);
        if (HoldsInnerAnyOf(bytes, TabAndLineBreaks))
            return refuse(edit, "Tabs and line breaks are not allowed in this field");
        if (HoldsInnerAnyOf(bytes, Nul))
            return refuse(edit, "Null characters are not allowed in this field");
    }
    if (HoldsInnerAnyOf(FieldBytes(MemoText(*mmoNote), FShownNotes), Nul))
        return refuse(mmoNote, "Null characters are not allowed in this field");
    return false;
}

void TfrmSite::WriteToRec()
{
    FPwRec->SetSiteName(FieldBytes(edtSite->text(), FShownSite));
    FPwRec->SetURL(FieldBytes(edtURL->text(), FShownURL));
    FPwRec->SetUserName(FieldBytes(edtUser->text(), FShownUser));
    FPwRec->SetPassword(FieldBytes(edtPW->text(), FShownPassword));
    FPwRec->SetNotes(FieldBytes(MemoText(*mmoNote), FShownNotes));
}

void TfrmSite::btnOKClick()
{
    if (RefusesFields())
        return;
    WriteToRec();
    done(ModalOk);
}

void TfrmSite::btnCancelClick()
{
    done(ModalCancel);
}

int ExecSite(TbrmPwRec& rec)
{
    const auto dialog = std::make_unique<TfrmSite>(rec);
    return dialog->exec() == ModalOk ? ModalOk : ModalCancel;
}
