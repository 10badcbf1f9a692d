#pragma once

#include "model/Stream.h"
#include "platform/AtomicFile.h"
#include "platform/LocalTime.h"

#include <memory>
#include <string>
#include <string_view>

// Writes a site list's text as the one member of a new ZIP archive, deflated (or
// stored when deflating does not pay) and encrypted when a password is set. The
// archive is written beside its target and renamed over it when complete.
class TArchiveWriter {
public:
    TArchiveWriter();
    ~TArchiveWriter();
    TArchiveWriter(const TArchiveWriter&) = delete;
    TArchiveWriter& operator=(const TArchiveWriter&) = delete;

    const std::string& FileName() const { return FFileName; }
    // Opens a new archive at Path (".zip" or ".jar"); an empty path closes.
    void SetFileName(const std::string& path);

    const std::string& Password() const { return FPassword; }
    void SetPassword(const std::string& password) { FPassword = password; }

    // Stores the whole stream, from its first byte, and writes the complete archive.
    void StoreMember(const std::string& name, TStream& stream);
    void Close();

private:
    std::string FFileName;
    std::string FPassword;
    std::unique_ptr<TAtomicFile> FFile;
    bool FRemovable = false;
};

// Drive letter, leading backslash and "." and ".." parts removed, "\" turned into "/".
std::string NormaliseMemberName(std::string_view name);
