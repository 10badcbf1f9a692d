#include "services/globals.h"

#include "model/TextLines.h"
#include "platform/Files.h"
#include "services/UtilFuncs.h"

TGlobalVars GlobalVars;

TConfigFile ReadConfigFile()
{
    const std::string bytes = ReadWholeFile(ConfigFileName());
    std::vector<std::string> plainLines;
    for (std::string_view line : SplitTextLines(bytes))
        plainLines.push_back(InvertLine(std::string(line)));
    return TConfigFile::Parse(plainLines);
}

void LoadGlobalVars()
{
    const TConfigFile config = ReadConfigFile();
    GlobalVars.Version = config.Value("SYSTEM", "Version");
    GlobalVars.Copyright = config.Value("SYSTEM", "Copyright");
    GlobalVars.HelpHowTosTutorialVideosLink = config.Value("SYSTEM", "HelpHowTosTutorialVideosLink");
    GlobalVars.HelpHomePageLink = config.Value("SYSTEM", "HelpHomePageLink");
}
