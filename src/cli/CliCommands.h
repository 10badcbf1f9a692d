#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

// The command-line companion's commands: cat, ls, create and generate.
struct TCliStreams {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    // Asks for a secret without echo; none when nobody can be asked.
    std::function<std::optional<std::string>(const std::string& prompt)> askSecret;
};

enum TCliExit { ExitSuccess = 0, ExitUsage = 1, ExitArchive = 2, ExitPassword = 3, ExitExtraction = 4 };

int RunCli(const std::vector<std::string>& arguments, TCliStreams& streams);
