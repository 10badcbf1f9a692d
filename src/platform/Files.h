#pragma once

#include <cstdint>
#include <optional>
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

// What shows that another program changed a file: the file's identity on its
// volume, its size and its modification time.
struct TFileStamp {
    std::uint64_t volume = 0;
    std::uint64_t identity = 0;
    std::uint64_t size = 0;
    std::int64_t modified = 0; // in the system's own units
    bool operator==(const TFileStamp&) const = default;
};

// The stamp of the file Path names (through any links); nothing when there is none.
std::optional<TFileStamp> FileStampOf(const std::string& path);
