#pragma once

#include "model/Stream.h"
#include "platform/ReadOnlyFile.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// One central directory entry, sizes and offset widened by its Zip64 field.
struct TArchiveEntry {
    std::uint16_t versionMadeBy = 0;
    std::uint16_t versionNeeded = 0;
    std::uint16_t flags = 0;
    std::uint16_t method = 0;
    std::uint16_t time = 0;
    std::uint16_t date = 0;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::uint64_t localHeaderOffset = 0;
    std::string name; // converted to the platform's text
};

// What the item-failure notification reports.
enum TArchiveErrorClass { ArchiveError = 0, InputOutputError = 1, StreamError = 2, FileCreateError = 3,
    FileOpenError = 4, OtherError = 6 };
enum TArchiveErrorCode { NewerVersionRequired = 1, UnsupportedMethod = 2, InvalidPassword = 4, AbortedByUser = 9,
    FailedCrcCheck = 19, NotAPkZipFile = 24 };
constexpr int ProcessExtract = 2;

// The message of an archive error code.
std::string ArchiveErrorMessage(int errorCode);

// Opens a ZIP archive and extracts a member, asking for the password through its
// notifications. Opening raises; extraction reports every failure through
// OnProcessItemFailure and returns.
class TArchiveReader {
public:
    using NeedPasswordHandler = std::function<void(TArchiveReader& sender, std::string& newPassword)>;
    using ItemFailureHandler = std::function<void(TArchiveReader& sender, const TArchiveEntry& item,
        int processType, int errorClass, int errorCode)>;

    TArchiveReader();
    ~TArchiveReader();
    TArchiveReader(const TArchiveReader&) = delete;
    TArchiveReader& operator=(const TArchiveReader&) = delete;

    const std::string& FileName() const { return FFileName; }
    void SetFileName(const std::string& path);
    const std::string& Password() const { return FPassword; }
    void SetPassword(const std::string& password) { FPassword = password; }
    int PasswordRetries() const { return FPasswordRetries; }
    void SetPasswordRetries(int retries) { FPasswordRetries = retries; }
    void SetOnNeedPassword(NeedPasswordHandler handler) { FOnNeedPassword = std::move(handler); }
    void SetOnProcessItemFailure(ItemFailureHandler handler) { FOnProcessItemFailure = std::move(handler); }

    const std::vector<TArchiveEntry>& Entries() const { return FEntries; }
    // The message of the failure most recently notified.
    const std::string& FailureMessage() const { return FFailureMessage; }

    // Appends the decoded bytes of the entry named Name at the stream's position.
    void ExtractMember(const std::string& name, TStream& stream);
    void Close();

private:
    class Extraction;

    void LoadDirectory();
    void Notify(const TArchiveEntry& item, int errorClass, int errorCode, const std::string& message);

    std::string FFileName;
    std::string FPassword;
    int FPasswordRetries = 3;
    NeedPasswordHandler FOnNeedPassword;
    ItemFailureHandler FOnProcessItemFailure;
    std::unique_ptr<TReadOnlyFile> FFile;
    std::uint64_t FOffsetShift = 0; // leading bytes the stored offsets do not count
    std::vector<TArchiveEntry> FEntries;
    std::string FFailureMessage;
};
