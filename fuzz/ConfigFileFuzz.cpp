#include "FuzzSupport.h"

#include "model/TextLines.h"
#include "settings/ConfigFile.h"

#include <string>
#include <vector>

// Parses the input as the configuration's plain text (the inversion of its lines is
// one to one, so plain text reaches every parse) and looks up the product's keys.
namespace {

const char* const Keys[] = { "Name", "Version", "Copyright", "HelpHowTosTutorialVideosLink", "HelpHomePageLink" };

bool IsTrimmed(std::string_view value)
{
    return value == TrimBlanks(value);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::string> lines;
    for (const std::string_view line : SplitTextLines(InputText(data, size)))
        lines.emplace_back(line);
    const TConfigFile config = TConfigFile::Parse(lines);
    for (const char* key : Keys)
        Require(IsTrimmed(config.Value("SYSTEM", key)), "values are read without their blanks");
    if (!lines.empty())
        Require(IsTrimmed(config.Value(lines.front(), lines.back())), "values are read without their blanks");
    return 0;
}
