#pragma once

#include <string>
#include <string_view>

// The rules by which profile (INI) values read back, shared by both platforms.

// A value in matching double or single quotes is read without them.
std::string_view Unquoted(std::string_view value);

// Reading trims blanks and drops enclosing quotes, so a value that either would
// change is written inside double quotes, which reading then removes again.
std::string StoredValue(std::string_view value);

// Names and values that would read back as something else, or split the file's
// lines, are refused rather than written.
bool CanBeStored(std::string_view section, std::string_view key, std::string_view value);
