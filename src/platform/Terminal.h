#pragma once

#include <optional>
#include <string>

// Asks on the controlling terminal for a line typed without echo; none when the
// process has no terminal.
std::optional<std::string> ReadSecretFromTerminal(const std::string& prompt);
