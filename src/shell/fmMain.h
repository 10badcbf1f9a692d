#pragma once

#include "model/brmPW.h"
#include "settings/ReopenList.h"

#include <QMainWindow>

#include <map>
#include <memory>

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

    // Puts an archive just loaded at the top of the Reopen list.
    void AddReopenEntry(const std::string& path);
    const TReopenList& ReopenList() const { return FReopenList; }

private:
    void FormCreate();
    void FormDestroy();

    void mmiExitClick();

    std::map<std::string, QToolButton*> FButtons;
    QListView* lbxSiteList;
    TSiteListModel* FSiteItems;
    std::string FArchivePath;
    std::unique_ptr<TbrmPwList> FSiteList;
    TReopenList FReopenList;
};
