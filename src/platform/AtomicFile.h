#pragma once

#include <optional>
#include <string>
#include <string_view>

// A file written beside its target and renamed over it only when complete and
// flushed, so a failed write leaves an existing target as it was. A new target is
// readable and writable by its owner only unless others are to read it too; a
// replaced one keeps its permissions.
class TAtomicFile {
public:
    enum class NewFileAccess { OwnerOnly, EveryoneReads };

    // Raises "Cannot create file "<target>". <reason>" when no file can be made there.
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
    std::string temporary;
    NewFileAccess newFileAccess;
    int descriptor = -1;
    bool committed = false;
};

// Whether Path lies on a removable drive, or what tests fixed the answer at.
bool IsOnRemovableDrive(const std::string& path);
void FixRemovableDrive(std::optional<bool> removable);
