#pragma once

#include "settings/ConfigFile.h"

#include <string>

// The product's configured identity.
struct TGlobalVars {
    std::string Version;
    std::string Copyright;
    std::string HelpHowTosTutorialVideosLink;
    std::string HelpHomePageLink;
};

extern TGlobalVars GlobalVars;

// The configuration file's INI content; raises when the file cannot be opened.
TConfigFile ReadConfigFile();

// Fills GlobalVars from a fresh reading of the configuration file.
void LoadGlobalVars();
