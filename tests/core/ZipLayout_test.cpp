#include "archive/ZipLayout.h"

#include <gtest/gtest.h>

namespace {

using namespace ZipLayout;

EntryFields EncryptedData()
{
    EntryFields entry;
    entry.versionNeeded = VersionNeeded(false, true, MethodDeflate);
    entry.flags = FlagEncrypted | FlagDataDescriptor;
    entry.method = MethodDeflate;
    entry.time = 0x7CEF;
    entry.date = 0x5B8A;
    entry.crc = 0x98CA7065u;
    entry.compressedSize = 39;
    entry.uncompressedSize = 15;
    entry.name = "Data";
    return entry;
}

TEST(ZipLayout, LocalHeaderFields)
{
    std::string out;
    AppendLocalHeader(out, EncryptedData());
    ASSERT_EQ(out.size(), 34u);
    EXPECT_EQ(GetUInt32(out, Local::Signature), 0x04034B50u);
    EXPECT_EQ(GetUInt16(out, Local::VersionNeeded), 20);
    EXPECT_EQ(GetUInt16(out, Local::Flags), 0x0009);
    EXPECT_EQ(GetUInt16(out, Local::Method), 8);
    EXPECT_EQ(GetUInt16(out, Local::Time), 0x7CEF);
    EXPECT_EQ(GetUInt16(out, Local::Date), 0x5B8A);
    EXPECT_EQ(GetUInt32(out, Local::Crc), 0x98CA7065u);
    EXPECT_EQ(GetUInt32(out, Local::CompressedSize), 39u);
    EXPECT_EQ(GetUInt32(out, Local::UncompressedSize), 15u);
    EXPECT_EQ(GetUInt16(out, Local::NameLength), 4);
    EXPECT_EQ(GetUInt16(out, Local::ExtraLength), 0);
    EXPECT_EQ(out.substr(Local::Size), "Data");
}

TEST(ZipLayout, DescriptorCentralHeaderAndEndRecordFields)
{
    std::string out;
    AppendDataDescriptor(out, EncryptedData());
    ASSERT_EQ(out.size(), 16u);
    EXPECT_EQ(GetUInt32(out, Descriptor::Signature), 0x08074B50u);
    EXPECT_EQ(GetUInt32(out, Descriptor::Crc), 0x98CA7065u);
    EXPECT_EQ(GetUInt32(out, Descriptor::CompressedSize), 39u);
    EXPECT_EQ(GetUInt32(out, Descriptor::UncompressedSize), 15u);

    std::string central;
    AppendCentralHeader(central, EncryptedData(), 4);
    ASSERT_EQ(central.size(), 50u);
    EXPECT_EQ(GetUInt32(central, Central::Signature), 0x02014B50u);
    EXPECT_EQ(GetUInt16(central, Central::VersionMadeBy), 0x0014);
    EXPECT_EQ(GetUInt16(central, Central::VersionNeeded), 20);
    EXPECT_EQ(GetUInt16(central, Central::Flags), 0x0009);
    EXPECT_EQ(GetUInt16(central, Central::Method), 8);
    EXPECT_EQ(GetUInt16(central, Central::Time), 0x7CEF);
    EXPECT_EQ(GetUInt16(central, Central::Date), 0x5B8A);
    EXPECT_EQ(GetUInt32(central, Central::Crc), 0x98CA7065u);
    EXPECT_EQ(GetUInt32(central, Central::CompressedSize), 39u);
    EXPECT_EQ(GetUInt32(central, Central::UncompressedSize), 15u);
    EXPECT_EQ(GetUInt16(central, Central::NameLength), 4);
    for (std::size_t field : { Central::ExtraLength, Central::CommentLength, Central::DiskStart,
             Central::InternalAttributes })
        EXPECT_EQ(GetUInt16(central, field), 0) << field;
    EXPECT_EQ(GetUInt32(central, Central::ExternalAttributes), 0u);
    EXPECT_EQ(GetUInt32(central, Central::LocalHeaderOffset), 4u);
    EXPECT_EQ(central.substr(Central::Size), "Data");

    std::string end;
    AppendEndRecords(end, 1, 50, 89);
    ASSERT_EQ(end.size(), 22u);
    EXPECT_EQ(GetUInt32(end, End::Signature), 0x06054B50u);
    EXPECT_EQ(GetUInt16(end, End::DiskNumber), 0);
    EXPECT_EQ(GetUInt16(end, End::CentralDirectoryDisk), 0);
    EXPECT_EQ(GetUInt16(end, End::EntriesOnDisk), 1);
    EXPECT_EQ(GetUInt16(end, End::EntriesTotal), 1);
    EXPECT_EQ(GetUInt32(end, End::CentralDirectorySize), 50u);
    EXPECT_EQ(GetUInt32(end, End::CentralDirectoryOffset), 89u);
    EXPECT_EQ(GetUInt16(end, End::CommentLength), 0);
}

TEST(ZipLayout, VersionRuleAndMsDosTime)
{
    EXPECT_EQ(VersionNeeded(false, false, MethodStored), 10);
    EXPECT_EQ(VersionNeeded(false, false, MethodDeflate), 20);
    EXPECT_EQ(VersionNeeded(false, true, MethodStored), 20);
    EXPECT_EQ(VersionNeeded(false, false, 6), 10);
    EXPECT_EQ(VersionNeeded(true, false, MethodStored), 45);

    const DosDateTime moment = ToDosDateTime(2026, 12, 10, 15, 39, 59);
    EXPECT_EQ(moment.time, 15 * 2048 + 39 * 32 + 29);
    EXPECT_EQ(moment.date, (2026 - 1980) * 512 + 12 * 32 + 10);
}

TEST(ZipLayout, LargeSizesUseZip64Records)
{
    EntryFields entry = EncryptedData();
    entry.uncompressedSize = 0x100000000ull;
    entry.compressedSize = 0xFFFFFFFFull;
    entry.versionNeeded = VersionNeeded(true, true, MethodDeflate);

    std::string local;
    AppendLocalHeader(local, entry);
    EXPECT_EQ(GetUInt32(local, Local::CompressedSize), 0xFFFFFFFFu);
    EXPECT_EQ(GetUInt32(local, Local::UncompressedSize), 0xFFFFFFFFu);
    ASSERT_EQ(GetUInt16(local, Local::ExtraLength), 20);
    const std::size_t extra = Local::Size + 4;
    EXPECT_EQ(GetUInt16(local, extra), 0x0001);
    EXPECT_EQ(GetUInt16(local, extra + 2), 16);
    EXPECT_EQ(GetUInt64(local, extra + 4), 0x100000000ull);
    EXPECT_EQ(GetUInt64(local, extra + 12), 0xFFFFFFFFull);

    std::string descriptor;
    AppendDataDescriptor(descriptor, entry);
    EXPECT_EQ(descriptor.size(), 24u);
    EXPECT_EQ(GetUInt64(descriptor, 8), 0xFFFFFFFFull);
    EXPECT_EQ(GetUInt64(descriptor, 16), 0x100000000ull);

    std::string central;
    AppendCentralHeader(central, entry, 0x123456789ull);
    EXPECT_EQ(GetUInt16(central, Central::VersionMadeBy), 45);
    EXPECT_EQ(GetUInt32(central, Central::LocalHeaderOffset), 0xFFFFFFFFu);
    ASSERT_EQ(GetUInt16(central, Central::ExtraLength), 28);
    EXPECT_EQ(GetUInt64(central, Central::Size + 4 + 4 + 16), 0x123456789ull);

    std::string end;
    AppendEndRecords(end, 1, 78, 0x200000000ull);
    ASSERT_EQ(end.size(), 56u + 20u + 22u);
    EXPECT_EQ(GetUInt32(end, 0), 0x06064B50u);
    EXPECT_EQ(GetUInt64(end, 4), 44u);
    EXPECT_EQ(GetUInt64(end, 48), 0x200000000ull);
    EXPECT_EQ(GetUInt32(end, 56), 0x07064B50u);
    EXPECT_EQ(GetUInt64(end, 64), 0x200000000ull + 78);
    EXPECT_EQ(GetUInt32(end, 76 + End::CentralDirectoryOffset), 0xFFFFFFFFu);
    EXPECT_EQ(GetUInt16(end, 76 + End::EntriesTotal), 1);
}

} // namespace
