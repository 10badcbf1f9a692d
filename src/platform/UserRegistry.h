#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// Value types of the registry.
constexpr std::uint32_t RegistryString = 1;       // REG_SZ
constexpr std::uint32_t RegistryExpandString = 2; // REG_EXPAND_SZ
constexpr std::uint32_t RegistryBinary = 3;       // REG_BINARY
constexpr std::uint32_t RegistryDWord = 4;        // REG_DWORD

struct TRegistryData {
    std::uint32_t type = 0;
    std::string bytes;
};

// A key of the current user's registry (HKEY_CURRENT_USER), its path relative to
// that root with "\" between the key names. On Windows the real registry; on Linux
// a text file under the XDG configuration folder holding typed values for any
// number of keys. Key paths and value names are compared ignoring letter case.
class TRegistryKey {
public:
    // The key opened for reading; none when it is absent or cannot be opened.
    static std::unique_ptr<TRegistryKey> OpenForReading(const std::string& path);
    // The key opened for writing, created when absent; none when that is refused.
    static std::unique_ptr<TRegistryKey> OpenForWriting(const std::string& path);

    ~TRegistryKey();
    TRegistryKey(const TRegistryKey&) = delete;
    TRegistryKey& operator=(const TRegistryKey&) = delete;

    // The names of the key's values, in the order the key holds them.
    std::vector<std::string> ValueNames() const;

    enum class ReadResult { Missing, Read, Failed };
    // Reads the type and the bytes of a value as stored (a string keeps its zero byte).
    ReadResult ReadValue(const std::string& name, TRegistryData& data) const;

    // Sets a string value (REG_SZ): the bytes followed by one zero byte. False when
    // the system refuses. A value of that name, in any letter case, is replaced.
    bool SetStringValue(const std::string& name, const std::string& value);
    // Removes a value; a missing one is no error.
    void DeleteValue(const std::string& name);

    struct Implementation;

private:
    explicit TRegistryKey(std::unique_ptr<Implementation> implementation);
    std::unique_ptr<Implementation> implementation;
};

// Tests keep the Linux store in a file of their own; none restores the user's file.
void PointUserRegistryAt(std::optional<std::string> file);
