#include "platform/AtomicFile.h"

#include "platform/AppError.h"
#include "platform/FileFaults.h"
#include "platform/Files.h"
#include "platform/SystemRandom.h"

#include <string_view>
#include <vector>
#include <windows.h>

namespace {

// What follows an archive's name in the name of a save's temporary file, before six
// random characters; the next save beside that archive knows such a file by it.
constexpr std::string_view TemporaryMark = ".sitevault-saving-";
constexpr std::size_t TemporaryRandomLength = 6;

// Tells whether a file-system call may run; an injected error fails it unrun.
bool Allowed(std::string_view name)
{
    const int error = InjectedFileError(name);
    if (error != 0)
        SetLastError(ERROR_WRITE_FAULT);
    return error == 0;
}

[[noreturn]] void RaiseWriteError()
{
    throw AppError("Stream write error. " + LastSystemErrorText());
}

[[noreturn]] void RaiseCannotCreate(const std::string& target)
{
    throw AppError("Cannot create file \"" + target + "\". " + LastSystemErrorText());
}

HANDLE AsHandle(int descriptor)
{
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(descriptor));
}

// The file that Path names once every link and junction on the way is followed;
// Path itself when nothing exists there yet.
std::string FinalTarget(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return path;
    std::vector<char> name(MAX_PATH);
    DWORD length = GetFinalPathNameByHandleA(file, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
    if (length >= name.size()) {
        name.resize(length + 1);
        length = GetFinalPathNameByHandleA(file, name.data(), static_cast<DWORD>(name.size()), FILE_NAME_NORMALIZED);
    }
    CloseHandle(file);
    return length == 0 || length >= name.size() ? path : std::string(name.data(), length);
}

// Refuses, before anything is written, what the writer's opening of the file would
// refuse: a folder, a read-only file, one the user may not write or one another
// program holds open.
void CheckWritable(const std::string& target, const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        SetLastError(ERROR_ACCESS_DENIED);
        RaiseCannotCreate(target);
    }
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        RaiseCannotCreate(target);
    CloseHandle(file);
}

// Deletes the temporary files that killed saves of the archive at Path left. A
// running save holds its file open without sharing, so deleting it fails.
void RemoveLeftovers(const std::string& path)
{
    const std::string folder = FolderOf(path);
    const std::string pattern = path + std::string(TemporaryMark) + std::string(TemporaryRandomLength, '?');
    WIN32_FIND_DATAA found {};
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 && Allowed("unlink"))
            DeleteFileA((folder + "\\" + found.cFileName).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
}

std::string TemporaryName(const std::string& path)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::string name = path + std::string(TemporaryMark);
    for (std::size_t i = 0; i < TemporaryRandomLength; ++i)
        name += Letters[SystemRandom32() % (sizeof Letters - 1)];
    return name;
}

} // namespace

TAtomicFile::TAtomicFile(std::string targetPath, NewFileAccess access)
    : target(std::move(targetPath)), finalTarget(FinalTarget(target)), newFileAccess(access)
{
    CheckWritable(target, finalTarget);
    RemoveLeftovers(finalTarget);
    for (;;) {
        temporary = TemporaryName(finalTarget);
        const HANDLE file = Allowed("open")
            ? CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)
            : INVALID_HANDLE_VALUE;
        if (file != INVALID_HANDLE_VALUE) {
            descriptor = static_cast<int>(reinterpret_cast<INT_PTR>(file));
            return;
        }
        if (GetLastError() != ERROR_FILE_EXISTS) {
            temporary.clear();
            RaiseCannotCreate(target);
        }
    }
}

TAtomicFile::~TAtomicFile()
{
    if (descriptor >= 0)
        CloseHandle(AsHandle(descriptor));
    if (!committed && !temporary.empty() && Allowed("unlink"))
        DeleteFileA(temporary.c_str());
}

void TAtomicFile::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!Allowed("write") || !WriteFile(AsHandle(descriptor), bytes.data(), chunk, &written, nullptr))
            RaiseWriteError();
        bytes.remove_prefix(written);
    }
}

void TAtomicFile::Commit()
{
    if (!Allowed("fsync") || !FlushFileBuffers(AsHandle(descriptor)))
        RaiseWriteError();
    const bool closed = CloseHandle(AsHandle(descriptor)) != 0;
    descriptor = -1;
    if (!closed || !Allowed("close"))
        RaiseWriteError();
    if (!Allowed("rename")
        || !MoveFileExA(temporary.c_str(), finalTarget.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        RaiseWriteError();
    committed = true;
}

bool DriveIsRemovable(const std::string& path)
{
    char full[MAX_PATH];
    if (GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr) == 0)
        return false;
    const std::string root = std::string(full).substr(0, 3);
    return GetDriveTypeA(root.c_str()) == DRIVE_REMOVABLE;
}
