#include "shell/Startup.h"

#include "dialogs/brmMsgDlg.h"
#include "platform/UiThread.h"
#include "settings/ApplicationTitle.h"
#include "settings/brmState.h"
#include "shell/ApplicationIcon.h"
#include "shell/ExceptionHandler.h"
#include "shell/SessionEnd.h"
#include "services/UtilFuncs.h"
#include "services/brmFormRtn.h"
#include "shell/fmMain.h"
#include "services/globals.h"

#include <QApplication>

#include <memory>

namespace {

std::unique_ptr<TfrmMain> StartApplication()
{
    SetApplicationTitle(ReadConfigFile().Value("SYSTEM", "Name"));
    QApplication::setWindowIcon(LoadApplicationIcon(AddBackslash(ProgramFolder()) + "icon.ico"));
    InitialiseUiThread();
    auto mainWindow = std::make_unique<TfrmMain>();
    mainWindow->show();
    return mainWindow;
}

} // namespace

int RunProgram()
{
    std::unique_ptr<TfrmMain> mainWindow;
    try {
        mainWindow = StartApplication();
    } catch (const std::exception& error) {
        ShowStartupError(error);
        return 1;
    }
    // Caught until the settings are written, so no signal ends the program halfway
    // through them.
    const TSessionEnd sessionEnd(*mainWindow);
    const int exitCode = QApplication::exec();
    mainWindow.reset();
    TbrmMsgDlg::Release();
    TbrmFormRtns::Release();
    TbrmState::Release();
    GlobalVars = TGlobalVars();
    return exitCode;
}
