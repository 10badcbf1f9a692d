#pragma once

#include <string>
#include <string_view>

// Text of the DOS (OEM) code page converted to the platform's ANSI text.
std::string OemToAnsi(std::string_view text);
