#include "archive/ArchiveWriter.h"

#include "archive/ArchiveExtension.h"
#include "archive/DeflateEncoder.h"
#include "archive/TraditionalCipher.h"
#include "archive/ZipLayout.h"
#include "platform/AppError.h"

#include <algorithm>
#include <cctype>

namespace {

using namespace ZipLayout;

// Only ZIP archives can carry the password, so no other container is written.
bool IsZipExtension(const std::string& path)
{
    const std::string extension = UpperExtension(path);
    return extension == ".ZIP" || extension == ".JAR";
}

struct Member {
    EntryFields entry;
    std::string data;
};

// The member's compressed (and, with a password, encrypted) data and its fields.
Member MakeMember(const std::string& name, TStream& text, const std::string& password, const TLocalTime& now)
{
    Member member;
    EntryFields& entry = member.entry;
    entry.name = NormaliseMemberName(name);
    const DosDateTime stamp = ToDosDateTime(std::max(now.year, 1980), now.month, now.day, now.hour, now.minute,
        now.second);
    entry.time = stamp.time;
    entry.date = stamp.date;
    const bool encrypted = !password.empty();
    // Room for the encryption header in front, so the data is never moved.
    const std::size_t front = encrypted ? TTraditionalCipher::HeaderSize : 0;
    member.data.assign(front, '\0');
    const TDeflated deflated = AppendDeflated(text, member.data);
    entry.uncompressedSize = deflated.size;
    entry.crc = deflated.crc;
    entry.method = MethodDeflate;
    if (deflated.size == 0 || member.data.size() - front > deflated.size) {
        member.data.resize(front);
        text.SetPosition(0);
        member.data += text.ReadToEnd();
        entry.method = MethodStored;
    }
    if (encrypted) {
        TTraditionalCipher cipher;
        const TTraditionalCipher::Header header = cipher.CreateHeader(password, std::uint32_t { entry.time } << 16);
        std::copy(header.begin(), header.end(), member.data.begin());
        cipher.EncodeBuffer(member.data.data() + front, member.data.size() - front);
        entry.flags = FlagEncrypted | FlagDataDescriptor;
    }
    entry.compressedSize = member.data.size();
    entry.versionNeeded = VersionNeeded(NeedsZip64(entry), encrypted, entry.method);
    return member;
}

} // namespace

std::string NormaliseMemberName(std::string_view name)
{
    if (name.size() >= 2 && name[1] == ':' && std::isalpha(static_cast<unsigned char>(name[0])))
        name.remove_prefix(2);
    std::string normalised;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find('\\', start);
        if (end == std::string_view::npos)
            end = name.size();
        const std::string_view part = name.substr(start, end - start);
        const bool last = end == name.size();
        if (!part.empty() && part != "." && part != "..") {
            if (!normalised.empty())
                normalised += '/';
            normalised += part;
        } else if (last && part.empty() && !normalised.empty()) {
            normalised += '/';
        }
        start = end + 1;
    }
    return normalised;
}

TArchiveWriter::TArchiveWriter() = default;

TArchiveWriter::~TArchiveWriter() = default;

void TArchiveWriter::SetFileName(const std::string& path)
{
    if (!path.empty() && !IsZipExtension(path))
        throw AppError("Unhandled Archive Type");
    Close();
    if (path.empty())
        return;
    FFile = std::make_unique<TAtomicFile>(path);
    FFileName = path;
    FRemovable = IsOnRemovableDrive(path);
}

void TArchiveWriter::StoreMember(const std::string& name, TStream& stream)
{
    if (!FFile)
        throw AppError("Archive does not exist - Filename is blank");
    stream.SetPosition(0);
    const Member member = MakeMember(name, stream, FPassword, LocalNow());

    std::string head;
    if (FRemovable)
        PutUInt32(head, SplitMarker);
    const std::uint64_t localHeaderOffset = head.size();
    AppendLocalHeader(head, member.entry);
    std::string tail;
    if (member.entry.flags & FlagEncrypted)
        AppendDataDescriptor(tail, member.entry);
    const std::uint64_t centralDirectoryOffset = head.size() + member.data.size() + tail.size();
    std::string central;
    AppendCentralHeader(central, member.entry, localHeaderOffset);
    tail += central;
    AppendEndRecords(tail, 1, central.size(), centralDirectoryOffset);

    FFile->Write(head);
    FFile->Write(member.data);
    FFile->Write(tail);
    FFile->Commit();
    FFile.reset();
}

void TArchiveWriter::Close()
{
    FFile.reset();
    FFileName.clear();
}
