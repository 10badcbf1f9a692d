#pragma once

#include <optional>
#include <string>
#include <string_view>

// A file written beside its target and renamed over it only when complete and
// flushed, so a failed write leaves an existing target as it was. A target that is
// a symbolic link stays one: the file the links end at is replaced. A new target is
// readable and writable by its owner only unless others are to read it too; a
// replaced one keeps its permissions. Where the file system allows, the file has no
// name until it is complete; otherwise a killed save leaves a file named after the
// target, which the next save beside that target removes.
class TAtomicFile {
public:
    enum class NewFileAccess { OwnerOnly, EveryoneReads };

    // Raises "Cannot create file "<target>". <reason>" when no file can be made there,
    // or when the target is a folder or a file the caller may not write.
    explicit TAtomicFile(std::string target, NewFileAccess access = NewFileAccess::OwnerOnly);
    // Removes the unfinished file unless Commit succeeded.
    ~TAtomicFile();
    TAtomicFile(const TAtomicFile&) = delete;
    TAtomicFile& operator=(const TAtomicFile&) = delete;

    // Raise "Stream write error. <reason>" when the bytes cannot be written.
    void Write(std::string_view bytes);
    void Commit();

private:
    std::string target;
    std::string finalTarget;
    std::string temporary; // empty while the file has no name
    NewFileAccess newFileAccess;
    int descriptor = -1;
    bool committed = false;
};

// Whether Path lies on a removable drive, or what tests fixed the answer at.
bool IsOnRemovableDrive(const std::string& path);
void FixRemovableDrive(std::optional<bool> removable);
