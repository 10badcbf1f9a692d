#include "settings/ConfigFile.h"

#include "model/TextLines.h"
#include "platform/TextCompare.h"

namespace {

bool IsSectionHeader(std::string_view line)
{
    return line.size() >= 2 && line.front() == '[' && line.back() == ']';
}

} // namespace

TConfigFile TConfigFile::Parse(const std::vector<std::string>& plainLines)
{
    TConfigFile config;
    for (const std::string& rawLine : plainLines) {
        const std::string_view line = TrimBlanks(rawLine);
        if (line.empty() || line.front() == ';')
            continue;
        if (IsSectionHeader(line)) {
            config.sections.push_back(Section { std::string(TrimBlanks(line.substr(1, line.size() - 2))), {} });
            continue;
        }
        const std::size_t equals = line.find('=');
        if (config.sections.empty() || equals == std::string_view::npos)
            continue;
        config.sections.back().pairs.push_back(
            Pair { std::string(TrimBlanks(line.substr(0, equals))), std::string(TrimBlanks(line.substr(equals + 1))) });
    }
    return config;
}

std::string TConfigFile::Value(std::string_view section, std::string_view key) const
{
    const std::string wantedSection = AnsiUpperCase(section);
    for (auto found = sections.rbegin(); found != sections.rend(); ++found) {
        if (AnsiUpperCase(found->name) != wantedSection)
            continue;
        const std::string wantedKey = AnsiUpperCase(key);
        for (auto pair = found->pairs.rbegin(); pair != found->pairs.rend(); ++pair)
            if (AnsiUpperCase(pair->key) == wantedKey)
                return pair->value;
        return std::string();
    }
    return std::string();
}
