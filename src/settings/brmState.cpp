#include "settings/brmState.h"

#include "platform/AppError.h"
#include "platform/Files.h"
#include "platform/ProfileFile.h"
#include "platform/TextCompare.h"
#include "platform/UserRegistry.h"
#include "settings/ApplicationTitle.h"

#include <algorithm>

namespace {

constexpr std::size_t IniKeyNamesBufferSize = 16384;
constexpr std::size_t IniValueBufferSize = 2048;
constexpr int ReopenNameCount = 5;

std::optional<std::string> testFolder;

std::string ReopenName(int index)
{
    return "Reopen" + std::to_string(index);
}

std::string NameOf(const std::string& line)
{
    return line.substr(0, line.find('='));
}

std::string RegistryKeyPath()
{
    return "Software\\" + ApplicationTitle();
}

// A string value's text: its bytes up to the first zero byte.
std::string RegistryText(const std::string& name, const TRegistryData& data)
{
    if (data.bytes.empty())
        return std::string();
    if (data.type != RegistryString && data.type != RegistryExpandString)
        throw AppError("Invalid data type for '" + name + "'");
    return data.bytes.substr(0, data.bytes.find('\0'));
}

} // namespace

TbrmState::TbrmState() : TSingleInstance("State") {}

std::vector<std::string>::const_iterator TbrmState::Find(const std::string& name) const
{
    return std::find_if(FLines.begin(), FLines.end(),
        [&](const std::string& line) { return CompareTextIgnoreCase(NameOf(line), name) == 0; });
}

std::string TbrmState::Values(const std::string& name) const
{
    const auto found = Find(name);
    return found == FLines.end() ? std::string() : found->substr(found->find('=') + 1);
}

void TbrmState::SetValues(const std::string& name, const std::string& value)
{
    const auto found = Find(name);
    if (value.empty()) {
        if (found != FLines.end())
            FLines.erase(found);
        return;
    }
    const std::string line = name + "=" + value;
    if (found == FLines.end())
        FLines.push_back(line);
    else
        FLines[static_cast<std::size_t>(found - FLines.begin())] = line;
}

std::string TbrmState::Names(int index) const
{
    if (index < 0 || index >= Count())
        throw AppError("List index out of bounds (" + std::to_string(index) + ")");
    return NameOf(FLines[static_cast<std::size_t>(index)]);
}

void TbrmState::Load()
{
    if (FUseIni)
        LoadFromIni();
    else
        LoadFromRegistry();
}

void TbrmState::Save()
{
    if (FUseIni)
        SaveToIni();
    else
        SaveToRegistry();
}

void TbrmState::LoadFromIni()
{
    const std::string file = StateIniFileName();
    const std::string section = ApplicationTitle();
    for (const std::string& name : ProfileKeyNames(file, section, IniKeyNamesBufferSize))
        SetValues(name, ProfileString(file, section, name, "", IniValueBufferSize));
}

void TbrmState::SaveToIni()
{
    const std::string file = StateIniFileName();
    const std::string section = ApplicationTitle();
    for (int i = 0; i < ReopenNameCount; ++i)
        DeleteProfileKey(file, section, ReopenName(i));
    for (const std::string& line : FLines) {
        const std::size_t equals = line.find('=');
        if (!WriteProfileString(file, section, line.substr(0, equals), line.substr(equals + 1)))
            throw AppError("Unable to write to " + file);
    }
}

void TbrmState::LoadFromRegistry()
{
    const std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForReading(RegistryKeyPath());
    if (!key)
        return;
    for (const std::string& name : key->ValueNames()) {
        TRegistryData data;
        const TRegistryKey::ReadResult result = key->ReadValue(name, data);
        if (result == TRegistryKey::ReadResult::Failed)
            throw AppError("Failed to get data for '" + name + "'");
        SetValues(name, result == TRegistryKey::ReadResult::Missing ? std::string() : RegistryText(name, data));
    }
}

void TbrmState::SaveToRegistry()
{
    const std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForWriting(RegistryKeyPath());
    if (!key)
        return;
    for (int i = 0; i < ReopenNameCount; ++i)
        key->DeleteValue(ReopenName(i));
    for (const std::string& line : FLines) {
        const std::size_t equals = line.find('=');
        const std::string name = line.substr(0, equals);
        if (!key->SetStringValue(name, line.substr(equals + 1)))
            throw AppError("Failed to set data for '" + name + "'");
    }
}

void TbrmState::LoadReopenList(TReopenList& list) const
{
    for (int i = 0; i < ReopenNameCount; ++i) {
        const std::string path = Values(ReopenName(i));
        if (!path.empty())
            list.push_back(path);
    }
}

void TbrmState::SaveReopenList(const TReopenList& list)
{
    for (int i = 0; i < ReopenNameCount; ++i)
        SetValues(ReopenName(i), "");
    for (std::size_t i = 0; i < list.size() && i < static_cast<std::size_t>(ReopenNameCount); ++i)
        SetValues(ReopenName(static_cast<int>(i)), list[i]);
}

TbrmState& State()
{
    return TbrmState::Instance();
}

std::string StateIniFileName()
{
    const std::string executable = ExecutablePath();
    const std::string folder = testFolder ? *testFolder : FolderOf(executable);
    std::string name = executable.substr(executable.find_last_of("/\\") + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot != 0)
        name.erase(dot);
    return folder + PathSeparator() + name + ".ini";
}

void PointStateStoreAt(std::optional<std::string> folder)
{
    testFolder = folder;
    PointUserRegistryAt(folder ? std::optional<std::string>(*folder + PathSeparator() + "user-registry.reg")
                               : std::nullopt);
}
