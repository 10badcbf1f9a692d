#include "platform/UserRegistry.h"

#include <windows.h>

namespace {

// Value names are at most 16383 characters; the buffer grows towards this when a
// name's bytes in the code page outnumber its characters.
constexpr std::size_t MaxValueNameBytes = 65536;

} // namespace

struct TRegistryKey::Implementation {
    explicit Implementation(HKEY opened) : key(opened) {}
    HKEY key;
};

TRegistryKey::TRegistryKey(std::unique_ptr<Implementation> opened) : implementation(std::move(opened)) {}

TRegistryKey::~TRegistryKey()
{
    RegCloseKey(implementation->key);
}

std::unique_ptr<TRegistryKey> TRegistryKey::OpenForReading(const std::string& path)
{
    // Keys whose full read access is refused may still allow reading their values.
    const REGSAM accesses[] = { KEY_READ, STANDARD_RIGHTS_READ | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS,
        KEY_QUERY_VALUE };
    for (const REGSAM access : accesses) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, access, &key) == ERROR_SUCCESS)
            return std::unique_ptr<TRegistryKey>(new TRegistryKey(std::make_unique<Implementation>(key)));
    }
    return nullptr;
}

std::unique_ptr<TRegistryKey> TRegistryKey::OpenForWriting(const std::string& path)
{
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
            nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return nullptr;
    return std::unique_ptr<TRegistryKey>(new TRegistryKey(std::make_unique<Implementation>(key)));
}

std::vector<std::string> TRegistryKey::ValueNames() const
{
    DWORD count = 0;
    DWORD longestName = 0;
    if (RegQueryInfoKeyA(implementation->key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
            &longestName, nullptr, nullptr, nullptr)
        != ERROR_SUCCESS)
        return {};
    std::vector<char> name(longestName + 1);
    std::vector<std::string> names;
    for (DWORD index = 0; index < count;) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG status = RegEnumValueA(implementation->key, index, name.data(), &length, nullptr, nullptr,
            nullptr, nullptr);
        if (status == ERROR_MORE_DATA && name.size() < MaxValueNameBytes) {
            name.resize(name.size() * 2);
            continue;
        }
        if (status == ERROR_SUCCESS)
            names.emplace_back(name.data(), length);
        ++index;
    }
    return names;
}

TRegistryKey::ReadResult TRegistryKey::ReadValue(const std::string& name, TRegistryData& data) const
{
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(implementation->key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return ReadResult::Missing;
    std::string bytes(size, '\0');
    if (size > 0
        && RegQueryValueExA(implementation->key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()),
               &size)
            != ERROR_SUCCESS)
        return ReadResult::Failed;
    bytes.resize(size);
    data = TRegistryData { type, std::move(bytes) };
    return ReadResult::Read;
}

bool TRegistryKey::SetStringValue(const std::string& name, const std::string& value)
{
    if (value.size() >= MAXDWORD)
        return false;
    return RegSetValueExA(implementation->key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
               static_cast<DWORD>(value.size() + 1))
        == ERROR_SUCCESS;
}

void TRegistryKey::DeleteValue(const std::string& name)
{
    RegDeleteValueA(implementation->key, name.c_str());
}

void PointUserRegistryAt(std::optional<std::string>) {}
