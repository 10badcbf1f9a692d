#pragma once

#include <string>

// The platform's path separator ('/' here, '\' on Windows).
char PathSeparator();

// The full path of the running executable.
std::string ExecutablePath();

// The folder part of Path, without a trailing separator ("." when it has none).
std::string FolderOf(const std::string& path);

// The executable's folder, without a trailing separator.
std::string ExecutableFolder();

// True when Path names an existing regular file (a folder does not count).
bool IsExistingFile(const std::string& path);

// Reads all bytes of a file, allowing other readers but no writers while it does.
// Raises AppError "Cannot open file "<path>". <system reason>" when it cannot.
std::string ReadWholeFile(const std::string& path);
