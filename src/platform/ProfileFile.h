#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The private profile (INI) file functions that the state store relies on, behaving
// as the Windows functions of that name do for the store's uses. Sections and keys
// are found ignoring letter case.

// The key names of Section in File, in file order, as one piece of BufferSize bytes
// holds them: each name takes its length plus a zero byte, and what does not fit is
// cut (the last name possibly short). None when the file or the section is absent.
std::vector<std::string> ProfileKeyNames(const std::string& file, const std::string& section,
    std::size_t bufferSize);

// The value of Key in Section, cut to BufferSize - 1 bytes; Default when absent.
std::string ProfileString(const std::string& file, const std::string& section, const std::string& key,
    const std::string& defaultValue, std::size_t bufferSize);

// Sets Key in Section to Value, creating the file and the section when needed; false
// when the system refuses the write. The file is replaced whole, atomically.
bool WriteProfileString(const std::string& file, const std::string& section, const std::string& key,
    const std::string& value);

// Removes Key from Section; a missing file, section or key is no error.
void DeleteProfileKey(const std::string& file, const std::string& section, const std::string& key);
