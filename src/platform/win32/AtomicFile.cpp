#include "platform/AtomicFile.h"

#include "platform/AppError.h"
#include "platform/Files.h"

#include <windows.h>

namespace {

[[noreturn]] void RaiseWriteError()
{
    throw AppError("Stream write error. " + LastSystemErrorText());
}

HANDLE AsHandle(int descriptor)
{
    return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(descriptor));
}

} // namespace

TAtomicFile::TAtomicFile(std::string targetPath, NewFileAccess access)
    : target(std::move(targetPath)), newFileAccess(access)
{
    char name[MAX_PATH];
    if (GetTempFileNameA(FolderOf(target).c_str(), "svt", 0, name) == 0)
        throw AppError("Cannot create file \"" + target + "\". " + LastSystemErrorText());
    temporary = name;
    const HANDLE file = CreateFileA(name, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        DeleteFileA(name);
        SetLastError(error);
        throw AppError("Cannot create file \"" + target + "\". " + LastSystemErrorText());
    }
    descriptor = static_cast<int>(reinterpret_cast<INT_PTR>(file));
}

TAtomicFile::~TAtomicFile()
{
    if (descriptor >= 0)
        CloseHandle(AsHandle(descriptor));
    if (!committed)
        DeleteFileA(temporary.c_str());
}

void TAtomicFile::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const DWORD chunk = bytes.size() > 0x40000000u ? 0x40000000u : static_cast<DWORD>(bytes.size());
        DWORD written = 0;
        if (!WriteFile(AsHandle(descriptor), bytes.data(), chunk, &written, nullptr))
            RaiseWriteError();
        bytes.remove_prefix(written);
    }
}

void TAtomicFile::Commit()
{
    if (!FlushFileBuffers(AsHandle(descriptor)))
        RaiseWriteError();
    CloseHandle(AsHandle(descriptor));
    descriptor = -1;
    if (!MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
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
