#include "platform/Files.h"

#include "platform/AppError.h"

#include <windows.h>

#include <vector>

namespace {

[[noreturn]] void RaiseCannotOpen(const std::string& path)
{
    throw AppError("Cannot open file \"" + path + "\". " + LastSystemErrorText());
}

} // namespace

char PathSeparator()
{
    return '\\';
}

std::string ExecutablePath()
{
    std::vector<char> buffer(MAX_PATH);
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0)
            throw AppError("Cannot find the program file. " + LastSystemErrorText());
        if (length < buffer.size())
            return std::string(buffer.data(), length);
        buffer.resize(buffer.size() * 2);
    }
}

std::string FolderOf(const std::string& path)
{
    const std::size_t separator = path.find_last_of("\\/");
    return separator == std::string::npos ? "." : path.substr(0, separator);
}

std::string ExecutableFolder()
{
    return FolderOf(ExecutablePath());
}

bool IsExistingFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string ReadWholeFile(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        RaiseCannotOpen(path);
    std::string bytes;
    char chunk[65536];
    for (;;) {
        DWORD count = 0;
        if (!ReadFile(file, chunk, sizeof chunk, &count, nullptr)) {
            const DWORD error = GetLastError();
            CloseHandle(file);
            SetLastError(error);
            RaiseCannotOpen(path);
        }
        if (count == 0)
            break;
        bytes.append(chunk, count);
    }
    CloseHandle(file);
    return bytes;
}

std::optional<TFileStamp> FileStampOf(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::nullopt;
    BY_HANDLE_FILE_INFORMATION information {};
    const BOOL known = GetFileInformationByHandle(file, &information);
    CloseHandle(file);
    if (!known)
        return std::nullopt;
    const auto wide = [](DWORD high, DWORD low) { return static_cast<std::uint64_t>(high) << 32 | low; };
    return TFileStamp { information.dwVolumeSerialNumber, wide(information.nFileIndexHigh, information.nFileIndexLow),
        wide(information.nFileSizeHigh, information.nFileSizeLow),
        static_cast<std::int64_t>(wide(information.ftLastWriteTime.dwHighDateTime, information.ftLastWriteTime.dwLowDateTime)) };
}
