#pragma once

#include <string>

// Asks the desktop to open a link (a web address or a file) with its usual program.
// The desktop's answer is not reported.
void OpenWithDesktop(const std::string& link);
