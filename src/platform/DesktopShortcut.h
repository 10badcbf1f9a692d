#pragma once

#include <string>

// A shortcut on the user's desktop that starts the program with an archive.
struct TDesktopShortcut {
    std::string name;          // as typed: the file name without its extension, and the description
    std::string target;        // the program's full path
    bool useIni = false;       // start it with the "-useini" switch
    std::string archivePath;   // always passed, also when empty
    std::string workingFolder; // the program's folder
};

// Creates the shortcut, replacing one of the same name; raises AppError when it cannot.
void CreateDesktopShortcut(const TDesktopShortcut& shortcut);

#ifndef _WIN32
// The two halves of the freedesktop launcher, apart so that tests can reach them.

// The launcher's whole text: "[Desktop Entry]" with Type, Name, Comment, Exec and Path.
std::string DesktopEntryText(const TDesktopShortcut& shortcut);

// XDG_DESKTOP_DIR of "$XDG_CONFIG_HOME/user-dirs.dirs" (XDG_CONFIG_HOME defaulting to
// "$HOME/.config"), else "$HOME/Desktop"; raises AppError when there is no home folder.
std::string DesktopFolder();
#endif
