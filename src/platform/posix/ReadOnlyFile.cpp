#include "platform/ReadOnlyFile.h"

#include "platform/AppError.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

TReadOnlyFile::TReadOnlyFile(const std::string& path)
{
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    struct stat status {};
    if (descriptor < 0 || ::fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        if (descriptor >= 0 && S_ISDIR(status.st_mode))
            errno = EISDIR;
        const std::string reason = LastSystemErrorText();
        if (descriptor >= 0)
            ::close(descriptor);
        throw AppError("Cannot open file \"" + path + "\". " + reason);
    }
    handle = descriptor;
    size = static_cast<std::uint64_t>(status.st_size);
}

TReadOnlyFile::~TReadOnlyFile()
{
    ::close(static_cast<int>(handle));
}

std::size_t TReadOnlyFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t count) const
{
    std::size_t done = 0;
    while (done < count) {
        const ssize_t got = ::pread(static_cast<int>(handle), static_cast<char*>(buffer) + done, count - done,
            static_cast<off_t>(offset + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throw AppError("Stream read error. " + LastSystemErrorText());
        }
        if (got == 0)
            break;
        done += static_cast<std::size_t>(got);
    }
    return done;
}
