// The commands of the main window's Tools and Help pages that leave the archive as it
// is: the desktop shortcut, the two help links and the About box.

#include "shell/fmMain.h"

#include "dialogs/About.h"
#include "dialogs/InputBox.h"
#include "platform/DesktopShortcut.h"
#include "platform/Files.h"
#include "platform/qt/DesktopShell.h"
#include "settings/brmState.h"
#include "services/globals.h"

namespace {

constexpr int LongestShortcutName = 255;

} // namespace

void TfrmMain::mmiShortcutClick()
{
    std::string name;
    if (!InputBox("Enter a name for the shortcut", "Shortcut name", LongestShortcutName, name))
        return;
    const TDesktopShortcut shortcut { name, ExecutablePath(), State().UseIni(), ArchivePath(), ExecutableFolder() };
    try {
        CreateDesktopShortcut(shortcut);
    } catch (const std::exception&) {
        // A shortcut that cannot be made is not reported: nothing is lost, and the
        // archive stays open as it was.
    }
}

void TfrmMain::btnHelpClick()
{
    OpenURL(GlobalVars.HelpHowTosTutorialVideosLink);
}

void TfrmMain::btnHomepageClick()
{
    OpenURL(GlobalVars.HelpHomePageLink);
}

void TfrmMain::btnAboutClick()
{
    ShowAboutBox(*this);
}

void TfrmMain::OpenURL(const std::string& link)
{
    if (!link.empty())
        OpenWithDesktop(link);
}
