#include "platform/ProfileFile.h"

#include "platform/ProfileText.h"
#include "platform/TextFileLines.h"

#include <windows.h>

#include <algorithm>
#include <string_view>

namespace {

constexpr std::size_t NotFound = std::string_view::npos;

DWORD BufferLength(std::size_t size)
{
    return static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
}

// The names as the buffer holds them, each ended by a zero byte except perhaps the
// last, which the function cuts to the room left. A nameless key lists as no name.
std::vector<std::string> NamesIn(std::string_view copied)
{
    std::vector<std::string> names;
    while (!copied.empty()) {
        const std::size_t end = std::min(copied.find('\0'), copied.size());
        if (end > 0)
            names.emplace_back(copied.substr(0, end));
        copied.remove_prefix(std::min(end + 1, copied.size()));
    }
    return names;
}

} // namespace

std::vector<std::string> ProfileKeyNames(const std::string& file, const std::string& section,
    std::size_t bufferSize)
{
    if (bufferSize < 2)
        return {};
    std::vector<char> buffer(bufferSize);
    const DWORD copied = GetPrivateProfileStringA(std::string(Trimmed(section)).c_str(), nullptr, "", buffer.data(),
        BufferLength(bufferSize), file.c_str());
    return NamesIn(std::string_view(buffer.data(), copied));
}

std::string ProfileString(const std::string& file, const std::string& section, const std::string& key,
    const std::string& defaultValue, std::size_t bufferSize)
{
    if (bufferSize == 0)
        return std::string();
    std::vector<char> buffer(bufferSize);
    const DWORD copied = GetPrivateProfileStringA(std::string(Trimmed(section)).c_str(), std::string(Trimmed(key)).c_str(),
        defaultValue.c_str(), buffer.data(), BufferLength(bufferSize), file.c_str());
    return std::string(buffer.data(), copied);
}

bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
    const std::string& value)
{
    if (!CanBeStored(section, key, value))
        return false;
    return WritePrivateProfileStringA(std::string(Trimmed(section)).c_str(), std::string(Trimmed(key)).c_str(), StoredValue(value).c_str(),
               file.c_str())
        != 0;
}

void DeleteProfileKey(const std::string& file, const std::string& section, const std::string& key)
{
    WritePrivateProfileStringA(std::string(Trimmed(section)).c_str(), std::string(Trimmed(key)).c_str(), nullptr, file.c_str());
}
