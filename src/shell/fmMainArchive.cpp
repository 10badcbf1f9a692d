// The archive document of the main window: New, Close, Open, Save, Save As, the new
// archive password, reading and writing the archive, importing from another one, the
// first show and the close request.

#include "shell/fmMain.h"

#include "archive/ArchiveReader.h"
#include "archive/ArchiveWriter.h"
#include "dialogs/brmMsgDlg.h"
#include "dialogs/PasswordDialogs.h"
#include "dialogs/fmImport.h"
#include "dialogs/fmOpenPW.h"
#include "dialogs/fmSavePW.h"
#include "platform/Files.h"
#include "settings/ApplicationTitle.h"
#include "shell/CommandLine.h"
#include "shell/ExceptionHandler.h"
#include "shell/SiteListModel.h"
#include "services/UtilFuncs.h"

#include <QCloseEvent>
#include <QTimer>

#include <filesystem>

namespace {

constexpr int MostPasswordPrompts = 3;
const char* const MemberName = "Data";
const char* const SaveQuestion = "The current archive has been modified.  Save changes?";

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
    SetModified(false);
    ClearSiteList();
    FSiteList = std::make_unique<TbrmPwList>();
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
    WriteArchive(ArchivePath());
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
    FPasswordTries = 0;
    ReadArchive(ArchivePath());
    FillSiteList();
    AddReopenEntry(ArchivePath());
}

void TfrmMain::ReadArchive(const std::string& path)
{
    if (IsExistingFile(path))
        ReadSites(path, *FSiteList, FArchivePassword);
}

void TfrmMain::ReadSites(const std::string& path, TbrmPwList& sites, std::string& password)
{
    TArchiveReader reader;
    TMemoryStream buffer;
    FUnZipper = &reader;
    FBuffer = &buffer;
    FReadingPassword = &password;
    const auto forget = [this] {
        FUnZipper = nullptr;
        FBuffer = nullptr;
        FReadingPassword = nullptr;
    };
    try {
        reader.SetOnProcessItemFailure(
            [this](TArchiveReader&, const TArchiveEntry&, int, int, int) { ZipProcessItemFailure(); });
        reader.SetFileName(path);
        reader.ExtractMember(MemberName, buffer);
        sites.LoadFromText(buffer.ReleaseBytes());
        reader.Close();
    } catch (...) {
        forget();
        throw;
    }
    forget();
}

void TfrmMain::mmiImportClick()
{
    std::string fileName;
    MsgDlg().PromptOpenAnyFile("Select " + ApplicationTitle() + " file to import from", TypeList(), "zip",
        AddBackslash(ProgramFolder()), fileName);
    if (fileName.empty())
        return;
    FPasswordTries = 0;
    const std::unique_ptr<TbrmPwList> sites = ReadOtherArchive(fileName);
    if (!sites || ExecImport(*sites) != ModalOk || sites->Count() == 0)
        return;
    SetModified(true);
    const int selected = SelectedRow();
    const TbrmPwRec* selectedRecord = selected < 0 ? nullptr : &FSiteItems->Record(selected);
    FSiteItems->AddLines(*sites);
    if (selectedRecord != nullptr)
        SelectRow(FSiteItems->RowOf(*selectedRecord));
}

std::unique_ptr<TbrmPwList> TfrmMain::ReadOtherArchive(const std::string& path)
{
    if (!IsExistingFile(path))
        return nullptr;
    auto sites = std::make_unique<TbrmPwList>();
    // The other archive's password lives only in this reading: it never becomes the
    // open archive's, not even for a save that giving up the reading offers.
    std::string otherPassword;
    ReadSites(path, *sites, otherPassword);
    return sites;
}

void TfrmMain::ZipProcessItemFailure()
{
    // What a failed extraction wrote is never loaded: each attempt starts afresh, and
    // a read given up loads nothing.
    *FBuffer = TMemoryStream();
    ++FPasswordTries;
    if (FPasswordTries > MostPasswordPrompts || ExecOpenPW(*FReadingPassword) != 1) {
        mmiFileNewClick();
        return;
    }
    FUnZipper->SetPassword(*FReadingPassword);
    FUnZipper->ExtractMember(MemberName, *FBuffer);
}

void TfrmMain::WriteArchive(const std::string& path)
{
    UpdateSiteList();
    TArchiveWriter writer;
    writer.SetPassword(FArchivePassword);
    writer.SetFileName(path);
    TMemoryStream text;
    FSiteList->SaveToStream(text);
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
