#include "dialogs/brmMsgDlg.h"

#include "dialogs/DialogLayout.h"
#include "platform/AppError.h"
#include "platform/qt/QtText.h"
#include "services/UtilFuncs.h"

#include <QCloseEvent>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

namespace {

TScriptedDialogs* script = nullptr;

// A message box that tells a close by its frame apart from a click on a button:
// Qt would count the close as the Escape button.
class TMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;
    bool ClosedByFrame() const { return closedByFrame; }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        closedByFrame = true;
        QMessageBox::closeEvent(event);
    }

private:
    bool closedByFrame = false;
};

int ScriptedAnswer(const char* caption, const std::string& msg)
{
    script->shown.push_back(std::string(caption) + ": " + msg);
    if (script->answers.empty())
        throw AppError("No scripted answer for \"" + msg + "\"");
    const int answer = script->answers.front();
    script->answers.pop_front();
    return answer;
}

int AskQuestion(const std::string& msg)
{
    if (script != nullptr)
        return ScriptedAnswer("Confirm", msg);
    TMessageBox box(QMessageBox::Question, "Confirm", ToQString(msg));
    QPushButton* yes = box.addButton("&Yes", QMessageBox::YesRole);
    QPushButton* no = box.addButton("&No", QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    KeepTitleWhole(box);
    box.exec();
    if (box.ClosedByFrame())
        return AnswerClosed;
    return box.clickedButton() == yes ? AnswerYes : box.clickedButton() == no ? AnswerNo : AnswerClosed;
}

void Inform(QMessageBox::Icon icon, const char* caption, const std::string& msg)
{
    if (script != nullptr) {
        ScriptedAnswer(caption, msg);
        return;
    }
    QMessageBox box(icon, caption, ToQString(msg));
    QPushButton* ok = box.addButton("OK", QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    KeepTitleWhole(box);
    box.exec();
}

// "description|pattern|..." as Qt's name filters "description (patterns)".
QStringList NameFilters(const std::string& filter)
{
    const QStringList items = ToQString(filter).split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < items.size(); i += 2) {
        const QString patterns = QString(items[i + 1]).replace(';', ' ');
        filters << (items[i].contains('(' + patterns + ')') ? items[i] : items[i] + " (" + patterns + ")");
    }
    return filters;
}

std::string ChosenFile(const std::string& title, QFileDialog& chooser, const std::string& filter,
    const std::string& initialDir)
{
    if (script != nullptr) {
        script->shown.push_back(title + ": chooser");
        if (script->fileNames.empty())
            throw AppError("No scripted file name for \"" + title + "\"");
        std::string name = script->fileNames.front();
        script->fileNames.pop_front();
        return name;
    }
    chooser.setWindowTitle(ToQString(title));
    chooser.setNameFilters(NameFilters(filter));
    chooser.setDirectory(ToQString(initialDir.empty() ? AddBackslash(ProgramFolder()) : initialDir));
    chooser.setSizeGripEnabled(true);
    if (chooser.exec() != QDialog::Accepted || chooser.selectedFiles().isEmpty())
        return std::string();
    return FromQString(chooser.selectedFiles().first());
}

} // namespace

TbrmMsgDlg::TbrmMsgDlg() : TSingleInstance("MsgDlg") {}

bool TbrmMsgDlg::QueryNo(const std::string& msg) const
{
    return AskQuestion(msg) == AnswerNo;
}

bool TbrmMsgDlg::QueryYes(const std::string& msg) const
{
    return AskQuestion(msg) == AnswerYes;
}

void TbrmMsgDlg::ShowError(const std::string& msg) const
{
    Inform(QMessageBox::Critical, "Error", msg);
}

void TbrmMsgDlg::ShowWarning(const std::string& msg) const
{
    Inform(QMessageBox::Warning, "Warning", msg);
}

void TbrmMsgDlg::PromptOpenFile(const std::string& title, const std::string& filter, const std::string& initialDir,
    std::string& fileName) const
{
    fileName.clear();
    QFileDialog chooser;
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::ExistingFile);
    fileName = ChosenFile(title, chooser, filter, initialDir);
}

void TbrmMsgDlg::PromptOpenAnyFile(const std::string& title, const std::string& filter,
    const std::string& defaultExt, const std::string& initialDir, std::string& fileName) const
{
    fileName.clear();
    QFileDialog chooser;
    chooser.setAcceptMode(QFileDialog::AcceptOpen);
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setDefaultSuffix(ToQString(defaultExt));
    fileName = ChosenFile(title, chooser, filter, initialDir);
}

void TbrmMsgDlg::PromptSaveFile(const std::string& title, const std::string& filter, const std::string& defaultExt,
    bool overwritePrompt, const std::string& initialDir, std::string& fileName) const
{
    fileName.clear();
    QFileDialog chooser;
    chooser.setAcceptMode(QFileDialog::AcceptSave);
    chooser.setFileMode(QFileDialog::AnyFile);
    chooser.setDefaultSuffix(ToQString(defaultExt));
    chooser.setOption(QFileDialog::DontConfirmOverwrite, !overwritePrompt);
    fileName = ChosenFile(title, chooser, filter, initialDir);
}

TbrmMsgDlg& MsgDlg()
{
    return TbrmMsgDlg::Instance();
}

void ScriptDialogs(TScriptedDialogs* scripted)
{
    script = scripted;
}
