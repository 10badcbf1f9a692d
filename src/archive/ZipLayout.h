#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The ZIP records an archive is made of, each with its fields at named offsets.
// All multi-byte fields are little-endian.
namespace ZipLayout {

constexpr std::uint32_t LocalHeaderSignature = 0x04034B50u;
constexpr std::uint32_t DataDescriptorSignature = 0x08074B50u;
constexpr std::uint32_t CentralHeaderSignature = 0x02014B50u;
constexpr std::uint32_t EndRecordSignature = 0x06054B50u;
constexpr std::uint32_t Zip64EndRecordSignature = 0x06064B50u;
constexpr std::uint32_t Zip64LocatorSignature = 0x07064B50u;
constexpr std::uint32_t SplitMarker = 0x30304B50u;    // a split archive of one segment
constexpr std::uint32_t SpanningMarker = 0x08074B50u; // the first bytes while spanning

constexpr std::uint16_t MethodStored = 0;
constexpr std::uint16_t MethodDeflate = 8;
constexpr std::uint16_t MethodAes = 99;
constexpr std::uint16_t FlagEncrypted = 0x0001;
constexpr std::uint16_t FlagDataDescriptor = 0x0008;
constexpr std::uint16_t FlagStrongEncryption = 0x0040;
constexpr std::uint16_t FlagUtf8Name = 0x0800;
constexpr std::uint8_t HostMsDos = 0;
constexpr std::uint16_t Zip64ExtraId = 0x0001;

namespace Local {
constexpr std::size_t Signature = 0, VersionNeeded = 4, Flags = 6, Method = 8, Time = 10, Date = 12, Crc = 14,
    CompressedSize = 18, UncompressedSize = 22, NameLength = 26, ExtraLength = 28, Size = 30;
}

namespace Descriptor {
constexpr std::size_t Signature = 0, Crc = 4, CompressedSize = 8, UncompressedSize = 12, Size = 16;
}

namespace Central {
constexpr std::size_t Signature = 0, VersionMadeBy = 4, VersionNeeded = 6, Flags = 8, Method = 10, Time = 12,
    Date = 14, Crc = 16, CompressedSize = 20, UncompressedSize = 24, NameLength = 28, ExtraLength = 30,
    CommentLength = 32, DiskStart = 34, InternalAttributes = 36, ExternalAttributes = 38, LocalHeaderOffset = 42,
    Size = 46;
}

namespace End {
constexpr std::size_t Signature = 0, DiskNumber = 4, CentralDirectoryDisk = 6, EntriesOnDisk = 8,
    EntriesTotal = 10, CentralDirectorySize = 12, CentralDirectoryOffset = 16, CommentLength = 20, Size = 22;
}

// The fields an entry shares between its local and central headers.
struct EntryFields {
    std::uint16_t versionNeeded = 10;
    std::uint16_t flags = 0;
    std::uint16_t method = MethodStored;
    std::uint16_t time = 0;
    std::uint16_t date = 0;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t uncompressedSize = 0;
    std::string name;
};

// 45 with a Zip64 field, else 20 when encrypted or the method is 7 or above, else 10.
std::uint16_t VersionNeeded(bool zip64, bool encrypted, std::uint16_t method);

struct DosDateTime {
    std::uint16_t time;
    std::uint16_t date;
};
DosDateTime ToDosDateTime(int year, int month, int day, int hour, int minute, int second);

void PutUInt16(std::string& out, std::uint16_t value);
void PutUInt32(std::string& out, std::uint32_t value);
void PutUInt64(std::string& out, std::uint64_t value);
std::uint16_t GetUInt16(std::string_view bytes, std::size_t offset);
std::uint32_t GetUInt32(std::string_view bytes, std::size_t offset);
std::uint64_t GetUInt64(std::string_view bytes, std::size_t offset);

// The CRC-32 of ZIP over Bytes, continuing from Crc.
std::uint32_t Crc32(std::string_view bytes, std::uint32_t crc = 0);

// The data of the first extra field with header ID Id; none when absent.
std::optional<std::string_view> FindExtraField(std::string_view extra, std::uint16_t id);

// Whether an entry's sizes need the Zip64 extended information field.
bool NeedsZip64(const EntryFields& entry);

void AppendLocalHeader(std::string& out, const EntryFields& entry);
void AppendDataDescriptor(std::string& out, const EntryFields& entry);
void AppendCentralHeader(std::string& out, const EntryFields& entry, std::uint64_t localHeaderOffset);
// The end record, preceded by the Zip64 end record and locator when a value overflows it.
void AppendEndRecords(std::string& out, std::uint64_t entries, std::uint64_t centralDirectorySize,
    std::uint64_t centralDirectoryOffset);

} // namespace ZipLayout
