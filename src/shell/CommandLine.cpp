#include "shell/CommandLine.h"

#include "platform/Files.h"

#include <algorithm>
#include <cctype>

namespace {

std::vector<std::string> commandLineArguments;

} // namespace

const std::vector<std::string>& CommandLineArguments()
{
    return commandLineArguments;
}

void SetCommandLineArguments(std::vector<std::string> arguments)
{
    commandLineArguments = std::move(arguments);
}

bool IsUseIniSwitch(const std::string& argument)
{
    static const std::string name = "useini";
    if (argument.size() != name.size() + 1 || (argument[0] != '-' && argument[0] != '/'))
        return false;
    return std::equal(name.begin(), name.end(), argument.begin() + 1,
        [](char wanted, char given) { return wanted == std::tolower(static_cast<unsigned char>(given)); });
}

bool HasUseIniSwitch(const std::vector<std::string>& arguments)
{
    return std::any_of(arguments.begin(), arguments.end(), IsUseIniSwitch);
}

std::optional<std::string> FindFileArgument(const std::vector<std::string>& arguments)
{
    const auto found = std::find_if(arguments.begin(), arguments.end(), IsExistingFile);
    if (found == arguments.end())
        return std::nullopt;
    return *found;
}
