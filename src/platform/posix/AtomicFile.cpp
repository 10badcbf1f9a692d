#include "platform/AtomicFile.h"

#include "platform/AppError.h"
#include "platform/FileFaults.h"
#include "platform/Files.h"
#include "platform/SystemRandom.h"

#include <cerrno>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace {

// What follows an archive's name in the name of a save's temporary file, before six
// random characters; the next save beside that archive knows such a file by it.
constexpr std::string_view TemporaryMark = ".sitevault-saving-";
constexpr std::size_t TemporaryRandomLength = 6;
constexpr int MostLinksFollowed = 40;

// Runs a file-system call through the fault seam: an injected error fails it unrun.
template <typename Call>
auto Through(std::string_view name, Call call)
{
    if (const int error = InjectedFileError(name)) {
        errno = error;
        return decltype(call())(-1);
    }
    return call();
}

[[noreturn]] void RaiseWriteError()
{
    throw AppError("Stream write error. " + LastSystemErrorText());
}

[[noreturn]] void RaiseCannotCreate(const std::string& target, int error)
{
    errno = error;
    throw AppError("Cannot create file \"" + target + "\". " + LastSystemErrorText());
}

std::string NameOf(const std::string& path)
{
    return path.substr(path.rfind('/') + 1);
}

void SyncFolder(const std::string& folder)
{
    const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0)
        RaiseWriteError();
    const int result = Through("fsync", [&] { return ::fsync(descriptor); });
    ::close(descriptor);
    if (result != 0)
        RaiseWriteError();
}

mode_t NewFileMode(TAtomicFile::NewFileAccess access)
{
    return access == TAtomicFile::NewFileAccess::EveryoneReads ? (S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH)
                                                               : (S_IRUSR | S_IWUSR);
}

// The path a chain of symbolic links at Path ends at (Path itself when it is no
// link); a relative link counts from the folder that holds it. Replacing the file
// there keeps the links, and the file they share stays one.
std::string FinalTarget(const std::string& target)
{
    std::string path = target;
    for (int followed = 0; followed <= MostLinksFollowed; ++followed) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return path;
        std::string holds(static_cast<std::size_t>(status.st_size) + 1, '\0');
        const ssize_t length = ::readlink(path.c_str(), holds.data(), holds.size());
        if (length < 0)
            RaiseCannotCreate(target, errno);
        holds.resize(static_cast<std::size_t>(length));
        path = !holds.empty() && holds.front() == '/' ? holds : FolderOf(path) + "/" + holds;
    }
    RaiseCannotCreate(target, ELOOP);
}

// Refuses, before anything is written, what opening the file for writing would
// refuse: a folder, or a file the caller may not write. Root passes every access
// check, so for it a file without any write permission counts as read-only, as the
// read-only attribute makes a file on the system the program was made for.
void CheckWritable(const std::string& target, const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return;
    if (S_ISDIR(status.st_mode))
        RaiseCannotCreate(target, EISDIR);
    if (::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0)
        RaiseCannotCreate(target, errno);
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0)
        RaiseCannotCreate(target, EACCES);
}

bool IsTemporaryOf(const std::string& name, const std::string& archiveName)
{
    return name.size() == archiveName.size() + TemporaryMark.size() + TemporaryRandomLength
        && name.compare(0, archiveName.size(), archiveName) == 0
        && name.compare(archiveName.size(), TemporaryMark.size(), TemporaryMark) == 0;
}

// Removes the temporary files that killed saves of the archive at Path left. A save
// holds a lock on its file as long as it runs, so a file that can be locked is a
// leftover.
void RemoveLeftovers(const std::string& path)
{
    DIR* folder = ::opendir(FolderOf(path).c_str());
    if (folder == nullptr)
        return;
    const std::string archiveName = NameOf(path);
    while (const dirent* entry = ::readdir(folder)) {
        if (!IsTemporaryOf(entry->d_name, archiveName))
            continue;
        const int file = ::openat(::dirfd(folder), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (file < 0)
            continue;
        struct stat status {};
        if (::fstat(file, &status) == 0 && S_ISREG(status.st_mode) && ::flock(file, LOCK_EX | LOCK_NB) == 0)
            Through("unlink", [&] { return ::unlinkat(::dirfd(folder), entry->d_name, 0); });
        ::close(file);
    }
    ::closedir(folder);
}

std::string TemporaryName(const std::string& path)
{
    static constexpr char Letters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::string name = path + std::string(TemporaryMark);
    for (std::size_t i = 0; i < TemporaryRandomLength; ++i)
        name += Letters[SystemRandom32() % (sizeof Letters - 1)];
    return name;
}

// A file with no name yet in the folder, so that a killed save leaves nothing
// behind; -1 with errno EOPNOTSUPP (or EISDIR on old kernels) where the file
// system has none.
int CreateUnnamed(const std::string& folder)
{
    return Through("open-unnamed",
        [&] { return ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, S_IRUSR | S_IWUSR); });
}

// A named temporary file beside Path, for file systems without unnamed ones.
int CreateNamed(const std::string& path, std::string& name)
{
    for (;;) {
        name = TemporaryName(path);
        const int descriptor = Through("open", [&] {
            return ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, S_IRUSR | S_IWUSR);
        });
        if (descriptor >= 0 || errno != EEXIST)
            return descriptor;
    }
}

// Gives the unnamed file at Descriptor a temporary name beside Path.
std::string LinkUnnamed(int descriptor, const std::string& path)
{
    const std::string self = "/proc/self/fd/" + std::to_string(descriptor);
    for (;;) {
        std::string name = TemporaryName(path);
        if (Through("link",
                [&] { return ::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW); })
            == 0)
            return name;
        if (errno != EEXIST)
            RaiseWriteError();
    }
}

} // namespace

TAtomicFile::TAtomicFile(std::string targetPath, NewFileAccess access)
    : target(std::move(targetPath)), finalTarget(FinalTarget(target)), newFileAccess(access)
{
    CheckWritable(target, finalTarget);
    RemoveLeftovers(finalTarget);
    descriptor = CreateUnnamed(FolderOf(finalTarget));
    if (descriptor < 0 && (errno == EOPNOTSUPP || errno == EISDIR))
        descriptor = CreateNamed(finalTarget, temporary);
    if (descriptor < 0)
        RaiseCannotCreate(target, errno);
    // Marks the file as in use for as long as this save runs.
    ::flock(descriptor, LOCK_EX);
}

TAtomicFile::~TAtomicFile()
{
    if (descriptor >= 0)
        ::close(descriptor);
    if (!committed && !temporary.empty())
        Through("unlink", [&] { return ::unlink(temporary.c_str()); });
}

void TAtomicFile::Write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = Through("write", [&] { return ::write(descriptor, bytes.data(), bytes.size()); });
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
        ::stat(finalTarget.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode(newFileAccess);
    if (Through("fchmod", [&] { return ::fchmod(descriptor, mode); }) != 0
        || Through("fsync", [&] { return ::fsync(descriptor); }) != 0)
        RaiseWriteError();
    if (temporary.empty())
        temporary = LinkUnnamed(descriptor, finalTarget);
    // Renamed while still open and locked, so that no other save takes it for a leftover.
    if (Through("rename", [&] { return ::rename(temporary.c_str(), finalTarget.c_str()); }) != 0)
        RaiseWriteError();
    committed = true;
    // The system closes the file even when it reports an error.
    const int closed = ::close(descriptor);
    descriptor = -1;
    const int injected = InjectedFileError("close");
    if (closed != 0 || injected != 0) {
        errno = closed != 0 ? errno : injected;
        RaiseWriteError();
    }
    SyncFolder(FolderOf(finalTarget));
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
