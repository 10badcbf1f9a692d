#pragma once

#include "model/brmPW.h"
#include "settings/ReopenList.h"

#include <QMainWindow>

#include <map>
#include <memory>

class QListView;
class TArchiveReader;
class TMemoryStream;
class QToolButton;
class TSiteListModel;

// The program's main window.
class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    TfrmMain();
    ~TfrmMain() override;

    TSiteListModel& SiteItems() const { return *FSiteItems; }
    TbrmPwList* SiteList() const { return FSiteList.get(); }
    // Replaces the site list, as loading an archive does.
    void SetSiteList(std::unique_ptr<TbrmPwList> list) { FSiteList = std::move(list); }

    // The full path of the open archive, shown in the status bar; empty while the
    // archive has no file.
    const std::string& ArchivePath() const { return FArchivePath; }
    void SetArchivePath(const std::string& path);

    // Whether the open archive has unsaved changes: the Save button's enabled state.
    bool Modified() const;
    void SetModified(bool modified);

    // Removes every item of the site list and frees its record.
    void ClearSiteList();
    // Adds one item per line of FSiteList, each with its own record, and selects
    // the first item.
    void FillSiteList();
    // Makes FSiteList hold the site lines of the items' records, and nothing else.
    void UpdateSiteList();

    // The password of the next save, set by the password prompts and never cleared.
    const std::string& ArchivePassword() const { return FArchivePassword; }

    // The document commands.
    void mmiFileNewClick();
    void mmiFileCloseClick();
    void mmiFileOpenClick();
    void mmiFileSaveClick();
    void mmiFileSaveAsClick();
    void mmiNewPWClick();

    // The site commands, on the selected item of the site list.
    void mmiAddClick();
    void mmiModifyClick();
    void mmiDeleteClick();
    void mmiGenPWClick();

    // The import of chosen sites from another archive.
    void mmiImportClick();

    // The Tools and Help pages.
    void mmiShortcutClick();
    void btnHelpClick();
    void btnHomepageClick();
    void btnAboutClick();
    // Hands a link to the desktop; an empty one does nothing.
    void OpenURL(const std::string& link);

    // Reads the archive named by ArchivePath into the window.
    void LoadArchive();
    // Reads the member "Data" of the archive at Path into FSiteList.
    void ReadArchive(const std::string& path);
    // Reads the sites of another archive into a list of their own; none when Path
    // names no existing file.
    std::unique_ptr<TbrmPwList> ReadOtherArchive(const std::string& path);
    // Writes the window's records as a new archive at Path.
    void WriteArchive(const std::string& path);

    // Puts an archive just loaded at the top of the Reopen list.
    void AddReopenEntry(const std::string& path);
    const TReopenList& ReopenList() const { return FReopenList; }

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Enter in the site list modifies the selected site.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    // The close request: false when it must not close (a wanted save did not happen).
    bool FormCloseQuery();
    void FormDestroy();
    // Close, and New: false when the archive stays open because a wanted save did
    // not happen.
    bool CloseArchive();
    // The save question; false when the user wanted a save that did not happen.
    bool SaveChangesFirst();
    // Reads the member "Data" at Path into Sites, negotiating Password.
    void ReadSites(const std::string& path, TbrmPwList& sites, std::string& password);
    void ZipProcessItemFailure();
    void Connect(const char* button, void (TfrmMain::*command)());
    // The selected item's row, -1 when none is selected.
    int SelectedRow() const;
    // Selects the item at Row; beyond the last item nothing is selected.
    void SelectRow(int row);

    void mmiExitClick();

    std::map<std::string, QToolButton*> FButtons;
    QListView* lbxSiteList;
    TSiteListModel* FSiteItems;
    std::string FArchivePath;
    std::unique_ptr<TbrmPwList> FSiteList;
    std::string FArchivePassword;
    int FPasswordTries = 0;
    TArchiveReader* FUnZipper = nullptr;
    TMemoryStream* FBuffer = nullptr;
    // The password the prompts of the current read fill in.
    std::string* FReadingPassword = nullptr;
    bool FShown = false;
    TReopenList FReopenList;
};
