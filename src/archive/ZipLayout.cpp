#include "archive/ZipLayout.h"

#include <algorithm>
#include <zlib.h>

namespace ZipLayout {

namespace {

constexpr std::uint32_t Overflow32 = 0xFFFFFFFFu;
constexpr std::uint16_t Overflow16 = 0xFFFFu;
constexpr std::uint64_t Zip64EndRecordRemainder = 44;

std::uint32_t Clamp32(std::uint64_t value)
{
    return value >= Overflow32 ? Overflow32 : static_cast<std::uint32_t>(value);
}

std::uint16_t Clamp16(std::uint64_t value)
{
    return value >= Overflow16 ? Overflow16 : static_cast<std::uint16_t>(value);
}

std::uint16_t VersionMadeBy(std::uint16_t versionNeeded)
{
    return static_cast<std::uint16_t>(HostMsDos << 8 | std::max<std::uint16_t>(20, versionNeeded & 0xFF));
}

void PutCommonFields(std::string& out, const EntryFields& entry)
{
    PutUInt16(out, entry.flags);
    PutUInt16(out, entry.method);
    PutUInt16(out, entry.time);
    PutUInt16(out, entry.date);
    PutUInt32(out, entry.crc);
    const bool zip64 = NeedsZip64(entry);
    PutUInt32(out, zip64 ? Overflow32 : static_cast<std::uint32_t>(entry.compressedSize));
    PutUInt32(out, zip64 ? Overflow32 : static_cast<std::uint32_t>(entry.uncompressedSize));
}

std::string Zip64Extra(const EntryFields& entry, bool withOffset, std::uint64_t localHeaderOffset)
{
    std::string fields;
    if (NeedsZip64(entry)) {
        PutUInt64(fields, entry.uncompressedSize);
        PutUInt64(fields, entry.compressedSize);
    }
    if (withOffset && localHeaderOffset >= Overflow32)
        PutUInt64(fields, localHeaderOffset);
    if (fields.empty())
        return fields;
    std::string extra;
    PutUInt16(extra, Zip64ExtraId);
    PutUInt16(extra, static_cast<std::uint16_t>(fields.size()));
    return extra + fields;
}

} // namespace

std::uint16_t VersionNeeded(bool zip64, bool encrypted, std::uint16_t method)
{
    if (zip64)
        return 45;
    return encrypted || method >= 7 ? 20 : 10;
}

DosDateTime ToDosDateTime(int year, int month, int day, int hour, int minute, int second)
{
    return { static_cast<std::uint16_t>(hour * 2048 + minute * 32 + second / 2),
        static_cast<std::uint16_t>((year - 1980) * 512 + month * 32 + day) };
}

void PutUInt16(std::string& out, std::uint16_t value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8);
}

void PutUInt32(std::string& out, std::uint32_t value)
{
    PutUInt16(out, static_cast<std::uint16_t>(value & 0xFFFF));
    PutUInt16(out, static_cast<std::uint16_t>(value >> 16));
}

void PutUInt64(std::string& out, std::uint64_t value)
{
    PutUInt32(out, static_cast<std::uint32_t>(value & 0xFFFFFFFFu));
    PutUInt32(out, static_cast<std::uint32_t>(value >> 32));
}

std::uint16_t GetUInt16(std::string_view bytes, std::size_t offset)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[offset])
        | static_cast<unsigned char>(bytes[offset + 1]) << 8);
}

std::uint32_t GetUInt32(std::string_view bytes, std::size_t offset)
{
    return GetUInt16(bytes, offset) | static_cast<std::uint32_t>(GetUInt16(bytes, offset + 2)) << 16;
}

std::uint64_t GetUInt64(std::string_view bytes, std::size_t offset)
{
    return GetUInt32(bytes, offset) | static_cast<std::uint64_t>(GetUInt32(bytes, offset + 4)) << 32;
}

std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc)
{
    return static_cast<std::uint32_t>(crc32_z(crc, reinterpret_cast<const Bytef*>(bytes.data()), bytes.size()));
}

std::optional<std::string_view> FindExtraField(std::string_view extra, std::uint16_t id)
{
    for (std::size_t at = 0; at + 4 <= extra.size();) {
        const std::size_t length = std::min<std::size_t>(GetUInt16(extra, at + 2), extra.size() - at - 4);
        if (GetUInt16(extra, at) == id)
            return extra.substr(at + 4, length);
        at += 4 + length;
    }
    return std::nullopt;
}

bool NeedsZip64(const EntryFields& entry)
{
    return entry.compressedSize >= Overflow32 || entry.uncompressedSize >= Overflow32;
}

void AppendLocalHeader(std::string& out, const EntryFields& entry)
{
    const std::string extra = Zip64Extra(entry, false, 0);
    PutUInt32(out, LocalHeaderSignature);
    PutUInt16(out, entry.versionNeeded);
    PutCommonFields(out, entry);
    PutUInt16(out, static_cast<std::uint16_t>(entry.name.size()));
    PutUInt16(out, static_cast<std::uint16_t>(extra.size()));
    out += entry.name;
    out += extra;
}

void AppendDataDescriptor(std::string& out, const EntryFields& entry)
{
    PutUInt32(out, DataDescriptorSignature);
    PutUInt32(out, entry.crc);
    if (NeedsZip64(entry)) {
        PutUInt64(out, entry.compressedSize);
        PutUInt64(out, entry.uncompressedSize);
    } else {
        PutUInt32(out, static_cast<std::uint32_t>(entry.compressedSize));
        PutUInt32(out, static_cast<std::uint32_t>(entry.uncompressedSize));
    }
}

void AppendCentralHeader(std::string& out, const EntryFields& entry, std::uint64_t localHeaderOffset)
{
    const std::string extra = Zip64Extra(entry, true, localHeaderOffset);
    PutUInt32(out, CentralHeaderSignature);
    PutUInt16(out, VersionMadeBy(entry.versionNeeded));
    PutUInt16(out, entry.versionNeeded);
    PutCommonFields(out, entry);
    PutUInt16(out, static_cast<std::uint16_t>(entry.name.size()));
    PutUInt16(out, static_cast<std::uint16_t>(extra.size()));
    PutUInt16(out, 0); // file comment length
    PutUInt16(out, 0); // disk number start
    PutUInt16(out, 0); // internal file attributes
    PutUInt32(out, 0); // external file attributes
    PutUInt32(out, Clamp32(localHeaderOffset));
    out += entry.name;
    out += extra;
}

void AppendEndRecords(std::string& out, std::uint64_t entries, std::uint64_t centralDirectorySize,
    std::uint64_t centralDirectoryOffset)
{
    const bool zip64 = entries >= Overflow16 || centralDirectorySize >= Overflow32
        || centralDirectoryOffset >= Overflow32;
    if (zip64) {
        const std::uint64_t zip64EndOffset = centralDirectoryOffset + centralDirectorySize;
        PutUInt32(out, Zip64EndRecordSignature);
        PutUInt64(out, Zip64EndRecordRemainder);
        PutUInt16(out, VersionMadeBy(45));
        PutUInt16(out, 45);
        PutUInt32(out, 0); // number of this disk
        PutUInt32(out, 0); // disk where the central directory starts
        PutUInt64(out, entries);
        PutUInt64(out, entries);
        PutUInt64(out, centralDirectorySize);
        PutUInt64(out, centralDirectoryOffset);
        PutUInt32(out, Zip64LocatorSignature);
        PutUInt32(out, 0); // disk of the Zip64 end record
        PutUInt64(out, zip64EndOffset);
        PutUInt32(out, 1); // total number of disks
    }
    PutUInt32(out, EndRecordSignature);
    PutUInt16(out, 0); // number of this disk
    PutUInt16(out, 0); // disk where the central directory starts
    PutUInt16(out, Clamp16(entries));
    PutUInt16(out, Clamp16(entries));
    PutUInt32(out, Clamp32(centralDirectorySize));
    PutUInt32(out, Clamp32(centralDirectoryOffset));
    PutUInt16(out, 0); // comment length
}

} // namespace ZipLayout
