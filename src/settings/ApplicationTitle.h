#pragma once

#include <string>

// The application's one process-wide name, set once at start from the configuration.
// Reading it yields at most 255 characters.
std::string ApplicationTitle();
void SetApplicationTitle(const std::string& title);
