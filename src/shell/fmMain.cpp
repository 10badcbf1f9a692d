#include "shell/fmMain.h"

#include "model/Random.h"
#include "platform/qt/QtText.h"
#include "platform/qt/WindowGeometry.h"
#include "settings/ApplicationTitle.h"
#include "settings/brmState.h"
#include "shell/CommandLine.h"
#include "shell/ExceptionHandler.h"
#include "shell/brmFormRtn.h"
#include "shell/globals.h"

namespace {

constexpr int DesignedLeft = 251;
constexpr int DesignedTop = 147;
constexpr int DesignedWidth = 589;
constexpr int DesignedHeight = 518;
constexpr int MinimumExtent = 350;

const char* const PlacementName = "TfrmMain";

} // namespace

TfrmMain::TfrmMain()
{
    setObjectName("frmMain");
    setMinimumSize(MinimumExtent, MinimumExtent);
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

void TfrmMain::AddReopenEntry(const std::string& path)
{
    ::AddReopenEntry(FReopenList, path);
}
