#include "TemporaryFolder.h"

#include "services/UtilFuncs.h"

#include <fstream>

void TemporaryFolder::Write(const std::string& name, const std::string& bytes) const
{
    std::ofstream(File(name), std::ios::binary) << bytes;
}

std::string InvertedConfig(const std::initializer_list<std::string>& plainLines, const std::string& ending)
{
    std::string bytes;
    for (const std::string& line : plainLines)
        bytes += InvertLine(line) + ending;
    return bytes;
}
