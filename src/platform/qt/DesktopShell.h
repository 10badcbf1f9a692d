#pragma once

#include <functional>
#include <string>

// Asks the desktop to open a link (a web address or a file) with its usual program.
// The desktop's answer is not reported.
void OpenWithDesktop(const std::string& link);

// What OpenWithDesktop hands its link to; the program keeps the desktop's own.
using TDesktopOpener = std::function<void(const std::string& link)>;
// Tests see the links a window opens without starting a program; the opener in
// use until then is handed back so that it can be put back.
TDesktopOpener ReplaceDesktopOpener(TDesktopOpener opener);
