#pragma once

#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

// Writes a build product beside its target and renames it into place, so an
// interrupted build never leaves a half-written file.
inline bool WriteProductFile(const std::string& tool, const std::string& path, const std::string& bytes)
{
    const std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << bytes;
        if (!out.flush()) {
            std::cerr << tool << ": cannot write " << temporary << "\n";
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::cerr << tool << ": cannot write " << path << "\n";
        return false;
    }
    return true;
}
