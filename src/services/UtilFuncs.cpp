#include "services/UtilFuncs.h"

#include "platform/Files.h"
#include "platform/qt/DesktopShell.h"
#include "platform/qt/ScreenCursor.h"

#include <optional>

namespace {

int busyCount = 0;
std::optional<std::string> programFolderOverride;

class BusyScope {
public:
    BusyScope() { BeginBusy(); }
    ~BusyScope() { EndBusy(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;
};

} // namespace

std::string AddBackslash(const std::string& path)
{
    if (!path.empty() && path.back() == PathSeparator())
        return path;
    return path + PathSeparator();
}

std::string ProgramFolder()
{
    return programFolderOverride ? *programFolderOverride : ExecutableFolder();
}

void OverrideProgramFolder(const std::string& folder)
{
    programFolderOverride = folder;
}

std::string ConfigFileName()
{
    return AddBackslash(ProgramFolder()) + "vezozivi.dll";
}

std::string InvertLine(const std::string& line)
{
    std::string inverted(line);
    for (char& byte : inverted)
        byte = static_cast<char>(~static_cast<unsigned char>(byte));
    return inverted;
}

void BeginBusy()
{
    ++busyCount;
    ShowBusyScreenCursor();
}

void EndBusy()
{
    if (busyCount == 0)
        return;
    if (--busyCount == 0)
        ShowDefaultScreenCursor();
}

void OpenLink(const std::string& link)
{
    BusyScope busy;
    OpenWithDesktop(link);
}
