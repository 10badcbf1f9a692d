#include "shell/fmMain.h"

#include "model/Random.h"
#include "platform/qt/QtText.h"
#include "shell/ApplicationTitle.h"
#include "shell/globals.h"

namespace {

constexpr int DesignedLeft = 251;
constexpr int DesignedTop = 147;
constexpr int DesignedWidth = 589;
constexpr int DesignedHeight = 518;
constexpr int MinimumExtent = 350;

} // namespace

TfrmMain::TfrmMain()
{
    setObjectName("frmMain");
    setMinimumSize(MinimumExtent, MinimumExtent);
    setGeometry(DesignedLeft, DesignedTop, DesignedWidth, DesignedHeight);
    FormCreate();
}

void TfrmMain::FormCreate()
{
    setWindowTitle(ToQString(ApplicationTitle()));
    LoadGlobalVars();
    SeedRandom();
}
