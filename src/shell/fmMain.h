#pragma once

#include "model/brmPW.h"
#include "settings/ReopenList.h"

#include <QMainWindow>

#include "platform/Files.h"

#include <map>
#include <memory>
#include <optional>

class QListView;
class QToolButton;
class TSiteListModel;

// The program's main window.
class TfrmMain : public QMainWindow {
    Q_OBJECT

public:
    TfrmMain();
    ~TfrmMain() override;

    TSiteListModel& SiteItems() const { return *FSiteItems; }
    // The site list as last loaded or saved; the site items share its text.
    const TbrmPwList* SiteList() const { return FSiteList.get(); }
    // Replaces the site list, as loading an archive does.
    void SetSiteList(std::shared_ptr<const TbrmPwList> list) { FSiteList = std::move(list); }

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
    // Reads the member "Data" of the archive at Path into FSiteList; a reading given
    // up leaves the password as it was.
    void ReadArchive(const std::string& path);
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
    // Whether the archive's file may be replaced: it is as it was when last loaded
    // or saved, or the user agrees to replace another program's version.
    bool MayReplaceArchiveFile();
    // Remembers how the archive's file looks now, to see later changes by others.
    void RememberArchiveFile();
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
    std::shared_ptr<const TbrmPwList> FSiteList;
    std::string FArchivePassword;
    // The archive's file as last loaded or saved, with its path.
    std::string FStampedPath;
    std::optional<TFileStamp> FArchiveFileStamp;
    bool FShown = false;
    TReopenList FReopenList;
};
