// The archive document of the main window: New, Close, Open, Save, Save As, the new
// archive password, reading and writing the archive, importing from another one, the
// first show and the close request.

#include "shell/fmMain.h"

#include "archive/ArchiveWriter.h"
#include "dialogs/brmMsgDlg.h"
#include "dialogs/PasswordDialogs.h"
#include "dialogs/fmImport.h"
#include "dialogs/fmSavePW.h"
#include "model/SiteListStream.h"
#include "settings/ApplicationTitle.h"
#include "shell/ArchiveReading.h"
#include "shell/CommandLine.h"
#include "shell/ExceptionHandler.h"
#include "shell/SiteListModel.h"
#include "services/UtilFuncs.h"

#include <QCloseEvent>
#include <QTimer>

#include <filesystem>

namespace {

const char* const MemberName = "Data";
const char* const SaveQuestion = "The current archive has been modified.  Save changes?";
const char* const ReplaceChangedFileQuestion
    = "The archive file was changed by another program since it was opened.  Replace it with this version?";

std::string TypeList()
{
    return ApplicationTitle() + " files (*.zip)|*.zip";
}

// The path as typed on a command line: without surrounding quotes, made absolute.
std::string FullPathOfArgument(std::string argument)
{
    if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"')
        argument = argument.substr(1, argument.size() - 2);
    return std::filesystem::absolute(argument).lexically_normal().string();
}

} // namespace

bool TfrmMain::SaveChangesFirst()
{
    if (!Modified() || !MsgDlg().QueryYes(SaveQuestion))
        return true;
    mmiFileSaveClick();
    // A cancelled save chooser saves nothing; the changes are kept, not lost.
    return !Modified();
}

bool TfrmMain::CloseArchive()
{
    if (!SaveChangesFirst())
        return false;
    SetArchivePath("");
    RememberArchiveFile();
    SetModified(false);
    ClearSiteList();
    FSiteList = std::make_shared<TbrmPwList>();
    FillSiteList();
    return true;
}

void TfrmMain::mmiFileNewClick()
{
    CloseArchive();
}

void TfrmMain::mmiFileCloseClick()
{
    CloseArchive();
}

void TfrmMain::mmiFileOpenClick()
{
    if (!CloseArchive())
        return;
    std::string fileName;
    MsgDlg().PromptOpenFile("Open " + ApplicationTitle() + " file", TypeList(), "", fileName);
    SetArchivePath(fileName);
    if (!ArchivePath().empty())
        LoadArchive();
}

void TfrmMain::mmiFileSaveClick()
{
    if (ArchivePath().empty()) {
        mmiFileSaveAsClick();
        return;
    }
    if (!MayReplaceArchiveFile())
        return;
    WriteArchive(ArchivePath());
    RememberArchiveFile();
    SetModified(false);
}

void TfrmMain::mmiFileSaveAsClick()
{
    std::string fileName;
    MsgDlg().PromptSaveFile("Save " + ApplicationTitle() + " file as...", TypeList(), "zip", true, "", fileName);
    SetArchivePath(fileName);
    if (!ArchivePath().empty())
        mmiFileSaveClick();
}

void TfrmMain::mmiNewPWClick()
{
    if (ExecSavePW(FArchivePassword) == 1)
        SetModified(true);
}

void TfrmMain::LoadArchive()
{
    ReadArchive(ArchivePath());
    FillSiteList();
    // A reading given up has emptied the path, and an empty path is never entered.
    AddReopenEntry(ArchivePath());
    RememberArchiveFile();
}

void TfrmMain::ReadArchive(const std::string& path)
{
    TArchiveReading reading([this] { mmiFileNewClick(); });
    std::unique_ptr<TbrmPwList> sites = reading.Read(path);
    if (!sites)
        return;
    if (reading.Password())
        FArchivePassword = *reading.Password();
    FSiteList = std::move(sites);
}

void TfrmMain::mmiImportClick()
{
    std::string fileName;
    MsgDlg().PromptOpenAnyFile("Select " + ApplicationTitle() + " file to import from", TypeList(), "zip",
        AddBackslash(ProgramFolder()), fileName);
    if (fileName.empty())
        return;
    // The other archive's password lives only in this reading: it never becomes the
    // open archive's, not even for the save that giving up the reading offers.
    TArchiveReading reading([this] { mmiFileNewClick(); });
    std::unique_ptr<TbrmPwList> sites = reading.Read(fileName);
    if (!sites && !reading.GivenUp())
        return;
    if (!sites)
        sites = std::make_unique<TbrmPwList>();
    if (ExecImport(*sites) != ModalOk || sites->Count() == 0)
        return;
    SetModified(true);
    const int selected = SelectedRow();
    const TbrmPwRec* selectedRecord = selected < 0 ? nullptr : &FSiteItems->Record(selected);
    FSiteItems->AddLines(std::move(sites));
    if (selectedRecord != nullptr)
        SelectRow(FSiteItems->RowOf(*selectedRecord));
}

bool TfrmMain::MayReplaceArchiveFile()
{
    if (FStampedPath != ArchivePath())
        return true;
    const std::optional<TFileStamp> now = FileStampOf(ArchivePath());
    // A file that is gone holds nothing to lose.
    if (!now || now == FArchiveFileStamp)
        return true;
    return !MsgDlg().QueryNo(ReplaceChangedFileQuestion);
}

void TfrmMain::RememberArchiveFile()
{
    FStampedPath = ArchivePath();
    FArchiveFileStamp = FileStampOf(ArchivePath());
}

void TfrmMain::WriteArchive(const std::string& path)
{
    UpdateSiteList();
    TArchiveWriter writer;
    writer.SetPassword(FArchivePassword);
    writer.SetFileName(path);
    // The lines go to the writer straight from the list, never held as one text.
    TSiteListStream text(*FSiteList);
    writer.StoreMember(MemberName, text);
    writer.Close();
}

void TfrmMain::FormShow()
{
    mmiFileNewClick();
    if (const std::optional<std::string> file = FindFileArgument(CommandLineArguments())) {
        SetArchivePath(FullPathOfArgument(*file));
        LoadArchive();
    }
}

bool TfrmMain::FormCloseQuery()
{
    return SaveChangesFirst();
}

void TfrmMain::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (FShown)
        return;
    FShown = true;
    // Once the window is on the screen, so that a password prompt appears over it.
    QTimer::singleShot(0, this, [this] { RunGuarded([this] { FormShow(); }); });
}

void TfrmMain::closeEvent(QCloseEvent* event)
{
    bool canClose = true;
    RunGuarded([this, &canClose] {
        canClose = false;
        canClose = FormCloseQuery();
    });
    if (canClose)
        event->accept();
    else
        event->ignore();
}
