#include "archive/ArchiveWriter.h"

#include "archive/ArchiveExtension.h"
#include "archive/TraditionalCipher.h"
#include "archive/ZipLayout.h"
#include "platform/AppError.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <limits>
#include <zlib.h>

namespace {

using namespace ZipLayout;

// Only ZIP archives can carry the password, so no other container is written.
bool IsZipExtension(const std::string& path)
{
    const std::string extension = UpperExtension(path);
    return extension == ".ZIP" || extension == ".JAR";
}

class DeflateStream {
public:
    DeflateStream()
    {
        if (deflateInit2(&stream, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
            throw AppError("Stream write error. Out of memory");
        // The "normal" match search: stop at 16 bytes, chains of 32, no lazy look from 24.
        deflateTune(&stream, 8, 24, 16, 32);
    }
    ~DeflateStream() { deflateEnd(&stream); }
    DeflateStream(const DeflateStream&) = delete;
    DeflateStream& operator=(const DeflateStream&) = delete;

    // Raw Deflate of the whole text.
    std::string Compress(std::string_view text)
    {
        std::string out(deflateBound(&stream, static_cast<uLong>(std::min<std::size_t>(text.size(), ULONG_MAX))), '\0');
        constexpr std::size_t chunk = std::numeric_limits<uInt>::max();
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
        std::size_t inputLeft = text.size();
        int status = Z_OK;
        while (status != Z_STREAM_END) {
            if (stream.avail_in == 0) {
                stream.avail_in = static_cast<uInt>(std::min(inputLeft, chunk));
                inputLeft -= stream.avail_in;
            }
            if (stream.total_out == out.size())
                out.resize(out.size() * 2 + 64);
            stream.next_out = reinterpret_cast<Bytef*>(out.data() + stream.total_out);
            stream.avail_out = static_cast<uInt>(std::min<std::size_t>(out.size() - stream.total_out, chunk));
            status = deflate(&stream, inputLeft == 0 ? Z_FINISH : Z_NO_FLUSH);
            if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
                throw AppError("Stream write error. Compression failed");
        }
        out.resize(stream.total_out);
        return out;
    }

private:
    z_stream stream {};
};

struct Member {
    EntryFields entry;
    std::string data;
};

// The member's compressed (and, with a password, encrypted) data and its fields.
Member MakeMember(const std::string& name, std::string_view text, const std::string& password,
    const TLocalTime& now)
{
    Member member;
    EntryFields& entry = member.entry;
    entry.name = NormaliseMemberName(name);
    const DosDateTime stamp = ToDosDateTime(std::max(now.year, 1980), now.month, now.day, now.hour, now.minute,
        now.second);
    entry.time = stamp.time;
    entry.date = stamp.date;
    entry.uncompressedSize = text.size();
    if (!text.empty()) {
        entry.crc = Crc32(text);
        member.data = DeflateStream().Compress(text);
        entry.method = MethodDeflate;
        if (member.data.size() > text.size()) {
            member.data.assign(text);
            entry.method = MethodStored;
        }
    }
    const bool encrypted = !password.empty();
    if (encrypted) {
        TTraditionalCipher cipher;
        const TTraditionalCipher::Header header = cipher.CreateHeader(password, std::uint32_t { entry.time } << 16);
        cipher.EncodeBuffer(member.data.data(), member.data.size());
        member.data.insert(0, reinterpret_cast<const char*>(header.data()), header.size());
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
    const auto* memory = dynamic_cast<const TMemoryStream*>(&stream);
    const std::string copied = memory != nullptr ? std::string() : stream.ReadToEnd();
    const std::string_view text = memory != nullptr ? std::string_view(memory->Bytes()) : std::string_view(copied);
    const Member member = MakeMember(name, text, FPassword, LocalNow());

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
