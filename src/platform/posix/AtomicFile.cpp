#include "platform/AtomicFile.h"

#include "platform/AppError.h"
#include "platform/Files.h"

#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

[[noreturn]] void RaiseWriteError()
{
    throw AppError("Stream write error. " + LastSystemErrorText());
}

void SyncFolder(const std::string& folder)
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        RaiseWriteError();
    const int result = ::fsync(descriptor);
    ::close(descriptor);
    if (result != 0)
        RaiseWriteError();
}

mode_t NewFileMode(TAtomicFile::NewFileAccess access)
{
    return access == TAtomicFile::NewFileAccess::EveryoneReads ? (S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH)
                                                               : (S_IRUSR | S_IWUSR);
}

} // namespace

TAtomicFile::TAtomicFile(std::string targetPath, NewFileAccess access)
    : target(std::move(targetPath)), newFileAccess(access)
{
    temporary = target + ".XXXXXX";
    descriptor = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (descriptor < 0)
        throw AppError("Cannot create file \"" + target + "\". " + LastSystemErrorText());
}

TAtomicFile::~TAtomicFile()
{
    if (descriptor >= 0)
        ::close(descriptor);
    if (!committed)
        ::unlink(temporary.c_str());
}

void TAtomicFile::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR)
                continue;
            RaiseWriteError();
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void TAtomicFile::Commit()
{
    struct stat existing {};
    const mode_t mode =
        ::stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode(newFileAccess);
    if (::fchmod(descriptor, mode) != 0 || ::fsync(descriptor) != 0)
        RaiseWriteError();
    const int result = ::close(descriptor);
    descriptor = -1;
    if (result != 0 || ::rename(temporary.c_str(), target.c_str()) != 0)
        RaiseWriteError();
    committed = true;
    SyncFolder(FolderOf(target));
}

bool DriveIsRemovable(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 && ::stat(FolderOf(path).c_str(), &status) != 0)
        return false;
    // A partition carries no flag of its own; its disk, one folder up, does.
    const std::string device = "/sys/dev/block/" + std::to_string(major(status.st_dev)) + ":"
        + std::to_string(minor(status.st_dev));
    for (const std::string& flag : { device + "/removable", device + "/../removable" }) {
        std::ifstream file(flag);
        int removable = 0;
        if (file >> removable)
            return removable == 1;
    }
    return false;
}
