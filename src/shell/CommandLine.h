#pragma once

#include <optional>
#include <string>
#include <vector>

// The program's arguments, without the program's own name.
const std::vector<std::string>& CommandLineArguments();
void SetCommandLineArguments(std::vector<std::string> arguments);

// "-useini" or "/useini" in any letter case.
bool IsUseIniSwitch(const std::string& argument);
bool HasUseIniSwitch(const std::vector<std::string>& arguments);

// The first argument that names an existing file (a folder does not count).
std::optional<std::string> FindFileArgument(const std::vector<std::string>& arguments);
