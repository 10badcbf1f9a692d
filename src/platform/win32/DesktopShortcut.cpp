#include "platform/DesktopShortcut.h"

#include "platform/AppError.h"
#include "platform/Files.h"

#include <windows.h>

#include <objbase.h>
#include <shlobj.h>

// The shortcut is a shell link (".lnk") on the desktop, made by the shell's own
// link object; the user-interface thread has initialised COM at start-up.
namespace {

// Holds a COM interface and releases it on every path.
template <typename Interface>
class TInterface {
public:
    TInterface() = default;
    ~TInterface()
    {
        if (pointer != nullptr)
            pointer->Release();
    }
    TInterface(const TInterface&) = delete;
    TInterface& operator=(const TInterface&) = delete;

    Interface* operator->() const { return pointer; }
    void** Receive() { return reinterpret_cast<void**>(&pointer); }
    bool IsMissing() const { return pointer == nullptr; }

private:
    Interface* pointer = nullptr;
};

void RaiseOnFailure(HRESULT result)
{
    if (FAILED(result)) {
        SetLastError(static_cast<DWORD>(result));
        throw AppError("Cannot create the desktop shortcut. " + LastSystemErrorText());
    }
}

template <typename Interface>
void RaiseWhenMissing(const TInterface<Interface>& reference)
{
    if (reference.IsMissing())
        throw AppError("Cannot create the desktop shortcut. The shell's link object is missing.");
}

// The desktop's path followed by "\"; empty when the shell names no desktop folder,
// so that the link is then made in the current folder.
std::string DesktopFolderText()
{
    PIDLIST_ABSOLUTE item = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOP, &item)) || item == nullptr)
        return std::string();
    char path[MAX_PATH] = "";
    const BOOL found = SHGetPathFromIDListA(item, path);
    CoTaskMemFree(item);
    return found ? std::string(path) + "\\" : std::string();
}

// The archive path as one argument: in double quotes, each inner one doubled.
std::string Arguments(const TDesktopShortcut& shortcut)
{
    std::string arguments = shortcut.useIni ? "-useini \"" : "\"";
    for (const char character : shortcut.archivePath) {
        arguments += character;
        if (character == '"')
            arguments += '"';
    }
    return arguments + '"';
}

std::string WithTrailingBackslash(const std::string& folder)
{
    return folder.empty() || folder.back() == '\\' ? folder : folder + '\\';
}

// The link's file name as the link object saves it: UTF-16 in room for MAX_PATH.
void ToLinkFileName(const std::string& fileName, WCHAR (&wide)[MAX_PATH])
{
    if (MultiByteToWideChar(CP_ACP, 0, fileName.c_str(), -1, wide, MAX_PATH) == 0)
        throw AppError("Cannot create the desktop shortcut \"" + fileName + "\". " + LastSystemErrorText());
}

} // namespace

void CreateDesktopShortcut(const TDesktopShortcut& shortcut)
{
    if (!IsExistingFile(shortcut.target))
        throw AppError("The program file \"" + shortcut.target + "\" does not exist.");
    const std::string fileName = DesktopFolderText() + shortcut.name + ".lnk";
    TInterface<IShellLinkA> link;
    RaiseOnFailure(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, link.Receive()));
    RaiseWhenMissing(link);
    TInterface<IPersistFile> file;
    RaiseOnFailure(link->QueryInterface(IID_IPersistFile, file.Receive()));
    RaiseWhenMissing(file);
    RaiseOnFailure(link->SetPath(shortcut.target.c_str()));
    RaiseOnFailure(link->SetArguments(Arguments(shortcut).c_str()));
    RaiseOnFailure(link->SetDescription(shortcut.name.c_str()));
    RaiseOnFailure(link->SetHotkey(0));
    RaiseOnFailure(link->SetShowCmd(SW_SHOWNORMAL));
    const std::string workingFolder = WithTrailingBackslash(shortcut.workingFolder);
    if (!workingFolder.empty())
        RaiseOnFailure(link->SetWorkingDirectory(workingFolder.c_str()));
    WCHAR wideFileName[MAX_PATH];
    ToLinkFileName(fileName, wideFileName);
    RaiseOnFailure(file->Save(wideFileName, FALSE));
}
