#include "shell/fmMain.h"

#include "dialogs/DialogLayout.h"
#include "model/Random.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WindowGeometry.h"
#include "settings/ApplicationTitle.h"
#include "settings/brmState.h"
#include "shell/CommandLine.h"
#include "shell/Ribbon.h"
#include "shell/SiteListModel.h"
#include "shell/SiteListView.h"
#include "shell/ExceptionHandler.h"
#include "services/brmFormRtn.h"
#include "services/globals.h"

#include <QListView>
#include <QToolButton>
#include <QVBoxLayout>
#include <QStatusBar>

namespace {

constexpr int DesignedLeft = 251;
constexpr int DesignedTop = 147;
constexpr int DesignedWidth = 589;
constexpr int DesignedHeight = 518;
constexpr int MinimumExtent = 350;

constexpr int StatusBarHeight = 19;

const char* const PlacementName = "TfrmMain";

} // namespace

TfrmMain::TfrmMain()
    : lbxSiteList(new TSiteListView(this)), FSiteItems(new TSiteListModel())
{
    setObjectName("frmMain");
    setFont(DesignedFont("Verdana"));
    FSiteItems->setParent(this);
    lbxSiteList->setObjectName("lbxSiteList");
    lbxSiteList->setModel(FSiteItems);
    lbxSiteList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    auto* body = new QWidget(this);
    auto* column = new QVBoxLayout(body);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(BuildRibbon(*body, FButtons));
    column->addWidget(lbxSiteList);
    setCentralWidget(body);
    SetModified(false);
    Connect("btnNew", &TfrmMain::mmiFileNewClick);
    Connect("btnOpen", &TfrmMain::mmiFileOpenClick);
    Connect("btnClose", &TfrmMain::mmiFileCloseClick);
    Connect("btnSave", &TfrmMain::mmiFileSaveClick);
    Connect("btnSaveAs", &TfrmMain::mmiFileSaveAsClick);
    Connect("btnnewAr", &TfrmMain::mmiNewPWClick);
    Connect("btnExit", &TfrmMain::mmiExitClick);
    Connect("btnAdd", &TfrmMain::mmiAddClick);
    Connect("btnModify", &TfrmMain::mmiModifyClick);
    Connect("btnDel", &TfrmMain::mmiDeleteClick);
    Connect("benGen", &TfrmMain::mmiGenPWClick);
    Connect("btnImport", &TfrmMain::mmiImportClick);
    Connect("btnCreate", &TfrmMain::mmiShortcutClick);
    Connect("btnAbout", &TfrmMain::btnAboutClick);
    Connect("btnHelp", &TfrmMain::btnHelpClick);
    Connect("btnHomepage", &TfrmMain::btnHomepageClick);
    connect(lbxSiteList, &QListView::doubleClicked, this, [this] { RunGuarded([this] { mmiModifyClick(); }); });
    lbxSiteList->installEventFilter(this);
    statusBar()->setObjectName("StatusBar");
    statusBar()->setFixedHeight(StatusBarHeight);
    statusBar()->setSizeGripEnabled(true);
    SetOuterMinimumSize(*this, QSize(MinimumExtent, MinimumExtent));
    // The designed bounds are the outer ones, frame and caption included.
    MoveOuter(*this, QPoint(DesignedLeft, DesignedTop));
    ResizeOuter(*this, QSize(DesignedWidth, DesignedHeight));
    RunGuarded([this] { FormCreate(); });
}

TfrmMain::~TfrmMain()
{
    RunGuarded([this] { FormDestroy(); });
}

void TfrmMain::FormCreate()
{
    setWindowTitle(ToQString(ApplicationTitle()));
    LoadGlobalVars();
    SeedRandom();
    State().SetUseIni(HasUseIniSwitch(CommandLineArguments()));
    State().Load();
    FormRtn().RestorePlacement(*this, State().Values(PlacementName));
    State().LoadReopenList(FReopenList);
}

void TfrmMain::FormDestroy()
{
    State().SetValues(PlacementName, FormRtn().SavePlacement(*this));
    State().SaveReopenList(FReopenList);
    State().Save();
}

bool TfrmMain::Modified() const
{
    return FButtons.at("btnSave")->isEnabled();
}

void TfrmMain::SetModified(bool modified)
{
    FButtons.at("btnSave")->setEnabled(modified);
}

void TfrmMain::Connect(const char* button, void (TfrmMain::*command)())
{
    connect(FButtons.at(button), &QToolButton::clicked, this, [this, command] { RunGuarded([this, command] { (this->*command)(); }); });
}

void TfrmMain::mmiExitClick()
{
    close();
}

void TfrmMain::SetArchivePath(const std::string& path)
{
    FArchivePath = path;
    statusBar()->showMessage(ToQString(path));
}

void TfrmMain::ClearSiteList()
{
    FSiteItems->Clear();
}

void TfrmMain::FillSiteList()
{
    if (FSiteList)
        FSiteItems->AddLines(FSiteList);
    if (FSiteItems->Count() > 0)
        lbxSiteList->setCurrentIndex(FSiteItems->index(0));
}

void TfrmMain::UpdateSiteList()
{
    FSiteList = FSiteItems->SiteList();
}

void TfrmMain::AddReopenEntry(const std::string& path)
{
    ::AddReopenEntry(FReopenList, path);
}
