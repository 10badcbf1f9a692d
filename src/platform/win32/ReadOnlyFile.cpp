#include "platform/ReadOnlyFile.h"

#include "platform/AppError.h"

#include <windows.h>

namespace {

HANDLE AsHandle(std::intptr_t handle)
{
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

TReadOnlyFile::TReadOnlyFile(const std::string& path)
{
    const HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    LARGE_INTEGER length {};
    if (file == INVALID_HANDLE_VALUE || !GetFileSizeEx(file, &length)) {
        const std::string reason = LastSystemErrorText();
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        throw AppError("Cannot open file \"" + path + "\". " + reason);
    }
    handle = reinterpret_cast<std::intptr_t>(file);
    size = static_cast<std::uint64_t>(length.QuadPart);
}

TReadOnlyFile::~TReadOnlyFile()
{
    CloseHandle(AsHandle(handle));
}

std::size_t TReadOnlyFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const
{
    std::size_t done = 0;
    while (done < count) {
        OVERLAPPED at {};
        at.Offset = static_cast<DWORD>((offset + done) & 0xFFFFFFFFu);
        at.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        const DWORD chunk = count - done > 0x40000000u ? 0x40000000u : static_cast<DWORD>(count - done);
        DWORD got = 0;
        if (!ReadFile(AsHandle(handle), static_cast<char*>(buffer) + done, chunk, &got, &at)) {
            if (GetLastError() == ERROR_HANDLE_EOF)
                break;
            throw AppError("Stream read error. " + LastSystemErrorText());
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}
