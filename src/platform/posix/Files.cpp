#include "platform/Files.h"

#include "platform/AppError.h"
#include "platform/LargeBuffer.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

[[noreturn]] void RaiseCannotOpen(const std::string& path)
{
    throw AppError("Cannot open file \"" + path + "\". " + LastSystemErrorText());
}

class FileDescriptor {
public:
    explicit FileDescriptor(int descriptor) : descriptor(descriptor) {}
    ~FileDescriptor() { if (descriptor >= 0) ::close(descriptor); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int Get() const { return descriptor; }

private:
    int descriptor;
};

} // namespace

char PathSeparator()
{
    return '/';
}

std::string ExecutablePath()
{
    std::vector<char> buffer(4096);
    for (;;) {
        const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0)
            throw AppError("Cannot find the program file. " + LastSystemErrorText());
        if (static_cast<std::size_t>(length) < buffer.size())
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        buffer.resize(buffer.size() * 2);
    }
}

std::string FolderOf(const std::string& path)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string ExecutableFolder()
{
    return FolderOf(ExecutablePath());
}

bool IsExistingFile(const std::string& path)
{
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

std::string ReadWholeFile(const std::string& path)
{
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0)
        RaiseCannotOpen(path);
    std::string bytes;
    struct stat status {};
    if (::fstat(file.Get(), &status) == 0 && S_ISREG(status.st_mode))
        ReserveLargeBuffer(bytes, static_cast<std::size_t>(status.st_size));
    char chunk[65536];
    for (;;) {
        const ssize_t count = ::read(file.Get(), chunk, sizeof chunk);
        if (count < 0) {
            if (errno == EINTR)
                continue;
            RaiseCannotOpen(path);
        }
        if (count == 0)
            return bytes;
        bytes.append(chunk, static_cast<std::size_t>(count));
    }
}

std::optional<TFileStamp> FileStampOf(const std::string& path)
{
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return TFileStamp { static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
        static_cast<std::uint64_t>(status.st_size),
        static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec };
}
