#include "archive/ArchiveReader.h"

#include "archive/ArchiveExtension.h"
#include "archive/EntryName.h"
#include "archive/MemberDecoder.h"
#include "archive/TraditionalCipher.h"
#include "archive/ZipLayout.h"
#include "platform/AppError.h"
#include "platform/Files.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace {

using namespace ZipLayout;

constexpr std::size_t MaximumSearchBlock = 65536;
constexpr std::size_t FirstSearchBlock = 512;
constexpr std::size_t Zip64LocatorSize = 20;
constexpr std::size_t Zip64EndRecordSize = 56;

// A failed extraction, as the item-failure notification reports it.
struct ExtractionFailure {
    int errorClass;
    int errorCode;
    std::string message;
};

[[noreturn]] void Fail(int code)
{
    throw ExtractionFailure { ArchiveError, code, ArchiveErrorMessage(code) };
}

[[noreturn]] void RaiseNotAPkZipFile()
{
    throw AppError(ArchiveErrorMessage(NotAPkZipFile));
}

// The one way bytes come out of an archive: all Count of them, or "Stream read error".
std::string ReadExactly(const TReadOnlyFile& file, std::uint64_t offset, std::size_t count)
{
    if (offset > file.Size() || count > file.Size() - offset)
        throw AppError("Stream read error");
    std::string bytes(count, '\0');
    if (file.ReadAt(offset, bytes.data(), count) != count)
        throw AppError("Stream read error");
    return bytes;
}

bool HasSignatureAt(std::string_view bytes, std::size_t offset, std::uint32_t signature)
{
    return offset + 4 <= bytes.size() && GetUInt32(bytes, offset) == signature;
}

std::optional<std::uint64_t> FindEndRecord(const TReadOnlyFile& file)
{
    const std::uint64_t size = file.Size();
    if (size < End::Size)
        return std::nullopt;
    const std::string last = ReadExactly(file, size - End::Size, End::Size);
    if (HasSignatureAt(last, 0, EndRecordSignature) && GetUInt16(last, End::CommentLength) == 0)
        return size - End::Size;
    std::uint64_t blockEnd = size;
    std::size_t blockLength = FirstSearchBlock;
    for (;;) {
        const std::uint64_t blockStart = blockEnd > blockLength ? blockEnd - blockLength : 0;
        const std::string block = ReadExactly(file, blockStart, static_cast<std::size_t>(blockEnd - blockStart));
        if (block.size() < End::Size)
            return std::nullopt;
        for (std::size_t position = block.size() - End::Size + 1; position-- > 0;) {
            if (!HasSignatureAt(block, position, EndRecordSignature))
                continue;
            // A signature inside a comment claims more comment than the file holds; the
            // real record may still come before it.
            const std::uint64_t recordEnd = blockStart + position + End::Size;
            if (size - recordEnd >= GetUInt16(block, position + End::CommentLength))
                return blockStart + position;
        }
        if (blockStart == 0)
            return std::nullopt;
        blockEnd = blockStart + End::Size;
        blockLength = std::min(blockLength * 2, MaximumSearchBlock);
    }
}

// The last position at or before Last where Signature starts, the file read
// backwards in large blocks that overlap by three bytes.
std::optional<std::uint64_t> FindSignatureBackward(const TReadOnlyFile& file, std::uint64_t last,
    std::uint32_t signature)
{
    std::uint64_t blockEnd = last + 4;
    for (;;) {
        const std::uint64_t blockStart = blockEnd > MaximumSearchBlock ? blockEnd - MaximumSearchBlock : 0;
        const std::string block = ReadExactly(file, blockStart, static_cast<std::size_t>(blockEnd - blockStart));
        for (std::size_t position = block.size() - 3; position-- > 0;)
            if (GetUInt32(block, position) == signature)
                return blockStart + position;
        if (blockStart == 0)
            return std::nullopt;
        blockEnd = blockStart + 3;
    }
}

bool HasRecordAt(const TReadOnlyFile& file, std::uint64_t offset, std::size_t length, std::uint32_t signature)
{
    return offset <= file.Size() && file.Size() - offset >= length
        && GetUInt32(ReadExactly(file, offset, 4), 0) == signature;
}

// A saturated end record has its Zip64 locator somewhere before it; an unsaturated
// one may have it right before it.
std::optional<std::uint64_t> FindZip64Locator(const TReadOnlyFile& file, std::uint64_t endOffset, bool saturated)
{
    if (endOffset < Zip64LocatorSize)
        return std::nullopt;
    const std::uint64_t adjacent = endOffset - Zip64LocatorSize;
    if (saturated)
        return FindSignatureBackward(file, adjacent, Zip64LocatorSignature);
    if (HasRecordAt(file, adjacent, Zip64LocatorSize, Zip64LocatorSignature))
        return adjacent;
    return std::nullopt;
}

// The Zip64 end record a locator leads to: where the locator says, or right before
// the locator when leading bytes moved the archive away from its stored offsets.
std::optional<std::uint64_t> FindZip64EndRecord(const TReadOnlyFile& file, std::uint64_t locatorAt)
{
    const std::uint64_t stored = GetUInt64(ReadExactly(file, locatorAt, Zip64LocatorSize), 8);
    if (stored <= locatorAt && locatorAt - stored >= Zip64EndRecordSize
        && HasRecordAt(file, stored, Zip64EndRecordSize, Zip64EndRecordSignature))
        return stored;
    if (locatorAt >= Zip64EndRecordSize
        && HasRecordAt(file, locatorAt - Zip64EndRecordSize, Zip64EndRecordSize, Zip64EndRecordSignature))
        return locatorAt - Zip64EndRecordSize;
    return std::nullopt;
}

// What the end records say of the central directory, and where in the file it ends.
struct DirectoryLocation {
    std::uint64_t diskNumber;
    std::uint64_t entryCount;
    std::uint64_t size;
    std::uint64_t offset;
    std::uint64_t end;
};

// The end record's values, each saturated one replaced by its Zip64 value. Zip64
// records right before an unsaturated end record still mark where the directory ends.
DirectoryLocation LocateDirectory(const TReadOnlyFile& file, std::uint64_t endOffset)
{
    const std::string end = ReadExactly(file, endOffset, End::Size);
    DirectoryLocation where { GetUInt16(end, End::DiskNumber), GetUInt16(end, End::EntriesTotal),
        GetUInt32(end, End::CentralDirectorySize), GetUInt32(end, End::CentralDirectoryOffset), endOffset };
    const bool diskSaturated = where.diskNumber == 0xFFFF;
    const bool countSaturated = where.entryCount == 0xFFFF;
    const bool sizeSaturated = where.size == 0xFFFFFFFFu;
    const bool offsetSaturated = where.offset == 0xFFFFFFFFu;
    const bool saturated = diskSaturated || countSaturated || sizeSaturated || offsetSaturated
        || GetUInt16(end, End::CentralDirectoryDisk) == 0xFFFF || GetUInt16(end, End::EntriesOnDisk) == 0xFFFF;

    const std::optional<std::uint64_t> locatorAt = FindZip64Locator(file, endOffset, saturated);
    const std::optional<std::uint64_t> zip64At = locatorAt ? FindZip64EndRecord(file, *locatorAt) : std::nullopt;
    if (!zip64At) {
        if (saturated)
            RaiseNotAPkZipFile();
        return where;
    }
    const std::string zip64 = ReadExactly(file, *zip64At, Zip64EndRecordSize);
    if (diskSaturated)
        where.diskNumber = GetUInt32(zip64, 16);
    if (countSaturated)
        where.entryCount = GetUInt64(zip64, 32);
    if (sizeSaturated)
        where.size = GetUInt64(zip64, 40);
    if (offsetSaturated)
        where.offset = GetUInt64(zip64, 48);
    where.end = *zip64At;
    return where;
}

// Leading bytes (a self-extracting program, a prepended file) shift every stored
// offset by what lies between the stored end of the directory and its real end.
std::uint64_t LeadingBytes(const TReadOnlyFile& file, const DirectoryLocation& where)
{
    if (where.end < where.offset || where.end - where.offset <= where.size)
        return 0;
    const std::uint64_t shift = where.end - where.offset - where.size;
    return HasRecordAt(file, where.offset + shift, Central::Size, CentralHeaderSignature) ? shift : 0;
}

bool IsZip(const TReadOnlyFile& file)
{
    if (file.Size() >= 4 && GetUInt32(ReadExactly(file, 0, 4), 0) == SpanningMarker)
        return true;
    try {
        return FindEndRecord(file).has_value();
    } catch (const AppError&) {
        return false;
    }
}

bool IsSelfExtracting(const TReadOnlyFile& file)
{
    if (file.Size() < 4)
        return false;
    const std::string start = ReadExactly(file, 0, 4);
    const bool program = start.compare(0, 2, "MZ") == 0 || start == "\x7F" "ELF";
    return program && GetUInt32(start, 0) != SpanningMarker && IsZip(file);
}

// ZIP archives are the only container read; the others cannot carry the password.
bool IsReadableContainer(const std::string& path, const TReadOnlyFile& file)
{
    const std::string extension = UpperExtension(path);
    if (extension == ".ZIP" || extension == ".JAR")
        return IsZip(file);
    if (extension == ".EXE")
        return IsSelfExtracting(file);
    for (const char* other : { ".TAR", ".GZ", ".TGZ", ".CAB", ".BZ2", ".TBZ" })
        if (extension == other)
            return false;
    return IsSelfExtracting(file) || IsZip(file);
}

// Values of an entry's Zip64 extended information field replace its saturated fields.
void ApplyZip64Extra(TArchiveEntry& entry, std::string_view extra, bool compressedSaturated,
    bool uncompressedSaturated, bool offsetSaturated)
{
    const std::optional<std::string_view> data = FindExtraField(extra, Zip64ExtraId);
    if (!data)
        return;
    std::size_t field = 0;
    auto take = [&](bool saturated, std::uint64_t& value) {
        if (!saturated)
            return;
        if (field + 8 > data->size())
            RaiseNotAPkZipFile();
        value = GetUInt64(*data, field);
        field += 8;
    };
    take(uncompressedSaturated, entry.uncompressedSize);
    take(compressedSaturated, entry.compressedSize);
    take(offsetSaturated, entry.localHeaderOffset);
}

// The member's data read from the file in order, decrypted once the header is verified.
class FileMemberSource : public TMemberSource {
public:
    FileMemberSource(const TReadOnlyFile& file, std::uint64_t start, std::uint64_t length)
        : file(file), position(start), left(length)
    {
    }

    std::size_t Read(char* buffer, std::size_t count) override
    {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(count, left));
        const std::size_t got = file.ReadAt(position, buffer, want);
        position += got;
        left -= got;
        if (cipher != nullptr)
            cipher->Decode(buffer, got);
        return got;
    }

    bool ReadHeader(TTraditionalCipher::Header& header)
    {
        return left >= header.size() && file.ReadAt(position, header.data(), header.size()) == header.size();
    }
    void SkipHeader(TTraditionalCipher& verified)
    {
        position += TTraditionalCipher::HeaderSize;
        left -= TTraditionalCipher::HeaderSize;
        cipher = &verified;
    }

private:
    const TReadOnlyFile& file;
    std::uint64_t position;
    std::uint64_t left;
    TTraditionalCipher* cipher = nullptr;
};

} // namespace

std::string ArchiveErrorMessage(int errorCode)
{
    switch (errorCode) {
    case NewerVersionRequired: return "Cannot extract file - newer version required";
    case UnsupportedMethod: return "Cannot extract file - unsupported compression method";
    case InvalidPassword: return "Cannot extract file - invalid password";
    case AbortedByUser: return "Process aborted by user";
    case FailedCrcCheck: return "Failed CRC Check";
    case NotAPkZipFile: return "Invalid file - not a PKZip file";
    default: return "Archive error " + std::to_string(errorCode);
    }
}

// One extraction of one entry, with its own password counter.
class TArchiveReader::Extraction {
public:
    Extraction(TArchiveReader& reader, const TArchiveEntry& entry) : reader(reader), entry(entry) {}

    void Run(TStream& stream)
    {
        const TReadOnlyFile& file = *reader.FFile;
        if ((entry.versionNeeded & 0xFF) >= 64)
            Fail(NewerVersionRequired);
        // These entries carry no traditional encryption header: no password could open them.
        if (entry.method == MethodAes || (entry.flags & FlagStrongEncryption))
            Fail(UnsupportedMethod);
        const std::uint64_t localOffset = entry.localHeaderOffset + reader.FOffsetShift;
        if (localOffset > file.Size() || file.Size() - localOffset < Local::Size)
            Fail(NotAPkZipFile);
        const std::string local = ReadExactly(file, localOffset, Local::Size);
        if (GetUInt32(local, Local::Signature) != LocalHeaderSignature)
            Fail(NotAPkZipFile);
        const std::uint32_t checkValue = (GetUInt16(local, Local::Flags) & FlagDataDescriptor)
            ? std::uint32_t { GetUInt16(local, Local::Time) } << 16
            : entry.crc;
        const std::uint64_t dataStart = localOffset + Local::Size + GetUInt16(local, Local::NameLength)
            + GetUInt16(local, Local::ExtraLength);
        if (dataStart > file.Size() || entry.compressedSize > file.Size() - dataStart)
            throw AppError("Stream read error");
        FileMemberSource source(file, dataStart, entry.compressedSize);
        TTraditionalCipher cipher;
        if (entry.flags & FlagEncrypted)
            NegotiatePassword(source, cipher, checkValue);
        if (entry.uncompressedSize == 0) {
            // The CRC-32 of no bytes is 0; anything else marks a damaged entry.
            CheckCrc(0);
            return;
        }
        const std::unique_ptr<TMemberDecoder> decoder = MakeMemberDecoder(entry.method);
        if (!decoder)
            Fail(UnsupportedMethod);
        ReserveFor(stream);
        std::uint32_t crc = 0;
        decoder->Decode(source, entry.uncompressedSize, [&](std::string_view bytes) {
            crc = Crc32(bytes, crc);
            stream.WriteBytes(bytes);
        });
        CheckCrc(crc);
    }

private:
    // The declared size is untrusted: the reservation is no more than the method can
    // expand the member's bytes to, and only a hint, so one the memory cannot give
    // is left out; the stream then grows as the bytes come.
    void ReserveFor(TStream& stream) const
    {
        constexpr std::uint64_t largestDeflateRatio = 1032;
        const std::uint64_t ratio = entry.method == MethodStored ? 1 : largestDeflateRatio;
        try {
            stream.Reserve(std::min(entry.uncompressedSize, entry.compressedSize * ratio));
        } catch (const std::bad_alloc&) {
        } catch (const std::length_error&) {
        }
    }

    void CheckCrc(std::uint32_t crc)
    {
        if (crc != entry.crc)
            reader.Notify(entry, ArchiveError, FailedCrcCheck, ArchiveErrorMessage(FailedCrcCheck));
    }


    void NegotiatePassword(FileMemberSource& source, TTraditionalCipher& cipher, std::uint32_t checkValue)
    {
        int counter = 0;
        bool aborted = false;
        std::string password = reader.FPassword;
        if (password.empty()) {
            AskForPassword(password, aborted);
            ++counter;
            if (password.empty())
                Fail(InvalidPassword);
        }
        for (;;) {
            if (aborted)
                Fail(AbortedByUser);
            TTraditionalCipher::Header header {};
            if (!source.ReadHeader(header))
                throw AppError("Stream read error");
            if (cipher.VerifyHeader(header, password, checkValue)) {
                source.SkipHeader(cipher);
                return;
            }
            if (++counter > reader.FPasswordRetries)
                Fail(InvalidPassword);
            AskForPassword(password, aborted);
        }
    }

    void AskForPassword(std::string& password, bool& aborted)
    {
        std::string newPassword = reader.FPassword;
        if (reader.FOnNeedPassword) {
            reader.FOnNeedPassword(reader, newPassword);
            reader.FPassword = newPassword;
        }
        if (newPassword.empty())
            aborted = true;
        else
            password = newPassword;
    }

    TArchiveReader& reader;
    const TArchiveEntry& entry;
};

TArchiveReader::TArchiveReader() = default;
TArchiveReader::~TArchiveReader() = default;

void TArchiveReader::SetFileName(const std::string& path)
{
    if (!path.empty()) {
        if (!IsExistingFile(path))
            throw AppError("File not found");
        if (TReadOnlyFile(path).Size() == 0)
            throw AppError("Invalid Stream");
    }
    Close();
    if (path.empty())
        return;
    auto file = std::make_unique<TReadOnlyFile>(path);
    if (!IsReadableContainer(path, *file))
        throw AppError("Unhandled Archive Type");
    FFile = std::move(file);
    try {
        LoadDirectory();
    } catch (...) {
        FFile.reset();
        FEntries.clear();
        throw;
    }
    FFileName = path;
}

void TArchiveReader::LoadDirectory()
{
    const TReadOnlyFile& file = *FFile;
    const std::optional<std::uint64_t> endOffset = FindEndRecord(file);
    if (!endOffset)
        RaiseNotAPkZipFile();
    const DirectoryLocation where = LocateDirectory(file, *endOffset);
    if (where.diskNumber != 0)
        throw AppError("Archives split into several parts are not supported");
    FOffsetShift = LeadingBytes(file, where);

    std::uint64_t at = where.offset + FOffsetShift;
    if (where.entryCount > file.Size() / Central::Size)
        RaiseNotAPkZipFile();
    std::vector<TArchiveEntry> entries;
    entries.reserve(static_cast<std::size_t>(where.entryCount));
    for (std::uint64_t i = 0; i < where.entryCount; ++i) {
        if (at > file.Size() || file.Size() - at < Central::Size)
            RaiseNotAPkZipFile();
        const std::string header = ReadExactly(file, at, Central::Size);
        if (GetUInt32(header, Central::Signature) != CentralHeaderSignature)
            RaiseNotAPkZipFile();
        const std::size_t nameLength = GetUInt16(header, Central::NameLength);
        const std::size_t extraLength = GetUInt16(header, Central::ExtraLength);
        const std::size_t commentLength = GetUInt16(header, Central::CommentLength);
        const std::string variable = ReadExactly(file, at + Central::Size, nameLength + extraLength);
        at += Central::Size + nameLength + extraLength + commentLength;

        TArchiveEntry entry;
        entry.versionMadeBy = GetUInt16(header, Central::VersionMadeBy);
        entry.versionNeeded = GetUInt16(header, Central::VersionNeeded);
        entry.flags = GetUInt16(header, Central::Flags);
        entry.method = GetUInt16(header, Central::Method);
        entry.time = GetUInt16(header, Central::Time);
        entry.date = GetUInt16(header, Central::Date);
        entry.crc = GetUInt32(header, Central::Crc);
        entry.compressedSize = GetUInt32(header, Central::CompressedSize);
        entry.uncompressedSize = GetUInt32(header, Central::UncompressedSize);
        entry.localHeaderOffset = GetUInt32(header, Central::LocalHeaderOffset);
        const std::string_view rawName = std::string_view(variable).substr(0, nameLength);
        const std::string_view extra = std::string_view(variable).substr(nameLength);
        ApplyZip64Extra(entry, extra, entry.compressedSize == 0xFFFFFFFFu, entry.uncompressedSize == 0xFFFFFFFFu,
            entry.localHeaderOffset == 0xFFFFFFFFu);
        entry.name = ConvertEntryName(rawName, extra, entry.flags, static_cast<std::uint8_t>(entry.versionMadeBy >> 8));
        entries.push_back(std::move(entry));
    }
    FEntries = std::move(entries);
}

void TArchiveReader::ExtractMember(const std::string& name, TStream& stream)
{
    if (!FFile)
        throw AppError("Archive does not exist - Filename is blank");
    const auto sameName = [&name](const TArchiveEntry& entry) {
        // ASCII letters fold to one case, whatever the locale; every other byte must be equal.
        const auto fold = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return std::equal(entry.name.begin(), entry.name.end(), name.begin(), name.end(),
            [&fold](char a, char b) { return fold(a) == fold(b); });
    };
    const auto found = std::find_if(FEntries.rbegin(), FEntries.rend(), sameName);
    if (found == FEntries.rend())
        return;
    const TArchiveEntry& entry = *found;
    try {
        Extraction(*this, entry).Run(stream);
    } catch (const ExtractionFailure& failure) {
        Notify(entry, failure.errorClass, failure.errorCode, failure.message);
    } catch (const std::bad_alloc&) {
        Notify(entry, OtherError, 0, "Out of memory");
    } catch (const AppError& error) {
        const bool readError = std::string_view(error.what()).rfind("Stream read error", 0) == 0;
        Notify(entry, readError ? StreamError : OtherError, 0, error.what());
    }
}

void TArchiveReader::Notify(const TArchiveEntry& item, int errorClass, int errorCode, const std::string& message)
{
    FFailureMessage = message;
    if (FOnProcessItemFailure)
        FOnProcessItemFailure(*this, item, ProcessExtract, errorClass, errorCode);
}

void TArchiveReader::Close()
{
    FFile.reset();
    FEntries.clear();
    FFileName.clear();
    FOffsetShift = 0;
}
