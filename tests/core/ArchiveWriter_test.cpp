#include "archive/ArchiveWriter.h"

#include "ChunkedStream.h"
#include "RawInflate.h"
#include "ScratchFolder.h"
#include "archive/ArchiveReader.h"
#include "archive/TraditionalCipher.h"
#include "archive/ZipLayout.h"
#include "model/Random.h"
#include "platform/AppError.h"
#include "platform/AtomicFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <zlib.h>

namespace {

using namespace ZipLayout;

const TLocalTime FixedMoment { 2026, 12, 10, 15, 39, 58 };
const std::uint16_t FixedTime = 15 * 2048 + 39 * 32 + 29;
const std::uint16_t FixedDate = 46 * 512 + 12 * 32 + 10;

std::string ManySites(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "Site " + std::to_string(i) + "=user" + std::to_string(i) + "\tpw\thttps://example.org\t\r\n";
    return text;
}

class ArchiveWriter : public testing::Test {
protected:
    void SetUp() override { FixLocalNow(FixedMoment); }
    void TearDown() override { FixLocalNow(std::nullopt); }

    // Writes Text as the archive "name" and yields the file's bytes.
    std::string Write(const std::string& name, const std::string& text, const std::string& password)
    {
        TArchiveWriter writer;
        writer.SetPassword(password);
        writer.SetFileName(folder.File(name));
        TMemoryStream stream(text);
        stream.SetPosition(stream.Size());
        writer.StoreMember("Data", stream);
        writer.Close();
        EXPECT_EQ(writer.FileName(), "");
        return folder.Read(name);
    }

    ScratchFolder folder;
};

TEST_F(ArchiveWriter, EncryptedArchiveHasEveryRecordWhereTheLayoutPutsIt)
{
    const std::string text = ManySites(200);
    const std::string file = Write("a.zip", text, "secret");
    const std::size_t n = GetUInt32(file, Local::CompressedSize);
    ASSERT_EQ(file.size(), 100 + n + 22);

    EXPECT_EQ(GetUInt32(file, Local::Signature), LocalHeaderSignature);
    EXPECT_EQ(GetUInt16(file, Local::VersionNeeded), 20);
    EXPECT_EQ(GetUInt16(file, Local::Flags), 0x0009);
    EXPECT_EQ(GetUInt16(file, Local::Method), MethodDeflate);
    EXPECT_EQ(GetUInt16(file, Local::Time), FixedTime);
    EXPECT_EQ(GetUInt16(file, Local::Date), FixedDate);
    EXPECT_EQ(GetUInt32(file, Local::Crc), crc32(0, reinterpret_cast<const Bytef*>(text.data()), text.size()));
    EXPECT_EQ(GetUInt32(file, Local::UncompressedSize), text.size());
    EXPECT_EQ(file.substr(30, 4), "Data");

    const std::string descriptor = file.substr(34 + n, 16);
    EXPECT_EQ(GetUInt32(descriptor, Descriptor::Signature), DataDescriptorSignature);
    EXPECT_EQ(GetUInt32(descriptor, Descriptor::Crc), GetUInt32(file, Local::Crc));
    EXPECT_EQ(GetUInt32(descriptor, Descriptor::CompressedSize), n);
    EXPECT_EQ(GetUInt32(descriptor, Descriptor::UncompressedSize), text.size());

    const std::string central = file.substr(50 + n, 50);
    EXPECT_EQ(GetUInt32(central, Central::Signature), CentralHeaderSignature);
    EXPECT_EQ(GetUInt16(central, Central::VersionMadeBy), 0x0014);
    EXPECT_EQ(central.substr(Central::VersionNeeded, 24), file.substr(Local::VersionNeeded, 24));
    EXPECT_EQ(GetUInt32(central, Central::LocalHeaderOffset), 0u);
    EXPECT_EQ(GetUInt16(central, Central::NameLength), 4);
    for (const std::size_t zero : { Central::ExtraLength, Central::CommentLength, Central::DiskStart,
             Central::InternalAttributes })
        EXPECT_EQ(GetUInt16(central, zero), 0) << "central field at " << zero;
    EXPECT_EQ(GetUInt32(central, Central::ExternalAttributes), 0u);
    EXPECT_EQ(central.substr(Central::Size), "Data");
    EXPECT_EQ(GetUInt16(file, Local::NameLength), 4);
    EXPECT_EQ(GetUInt16(file, Local::ExtraLength), 0);

    const std::string end = file.substr(100 + n);
    EXPECT_EQ(GetUInt32(end, End::Signature), EndRecordSignature);
    EXPECT_EQ(GetUInt16(end, End::EntriesTotal), 1);
    EXPECT_EQ(GetUInt32(end, End::CentralDirectorySize), 50u);
    EXPECT_EQ(GetUInt32(end, End::CentralDirectoryOffset), 50 + n);
    for (const std::size_t zero : { End::DiskNumber, End::CentralDirectoryDisk, End::CommentLength })
        EXPECT_EQ(GetUInt16(end, zero), 0) << "end field at " << zero;
    EXPECT_EQ(GetUInt16(end, End::EntriesOnDisk), 1);

    TTraditionalCipher cipher;
    TTraditionalCipher::Header header {};
    std::copy_n(reinterpret_cast<const std::uint8_t*>(file.data() + 34), header.size(), header.begin());
    ASSERT_TRUE(cipher.VerifyHeader(header, "secret", std::uint32_t { FixedTime } << 16));
    std::string data = file.substr(46, n - 12);
    cipher.Decode(data.data(), data.size());
    EXPECT_EQ(RawInflate(data, text.size()), text);
}

TEST_F(ArchiveWriter, MethodFlagsAndVersionFollowTheContent)
{
    struct Case {
        std::string text;
        std::string password;
        std::uint16_t method, flags, version;
        std::size_t compressedSize;
    };
    const Case cases[] = {
        { "", "pw", MethodStored, 0x0009, 20, 12 },
        { "", "", MethodStored, 0, 10, 0 },
        { "a=b\t\t\t\r\n", "", MethodStored, 0, 10, 8 },
        { "a=b\t\t\t\r\n", "pw", MethodStored, 0x0009, 20, 20 },
        { ManySites(50), "", MethodDeflate, 0, 20, 0 },
    };
    for (const Case& c : cases) {
        const std::string file = Write("m.zip", c.text, c.password);
        SCOPED_TRACE(c.text.substr(0, 20) + " / " + c.password);
        EXPECT_EQ(GetUInt16(file, Local::Method), c.method);
        EXPECT_EQ(GetUInt16(file, Local::Flags), c.flags);
        EXPECT_EQ(GetUInt16(file, Local::VersionNeeded), c.version);
        EXPECT_EQ(GetUInt32(file, Local::UncompressedSize), c.text.size());
        if (c.text.empty()) {
            EXPECT_EQ(GetUInt32(file, Local::Crc), 0u);
        }
        if (c.compressedSize != 0 || c.text.empty()) {
            EXPECT_EQ(GetUInt32(file, Local::CompressedSize), c.compressedSize);
        }
        const std::size_t descriptorSize = c.password.empty() ? 0 : 16;
        EXPECT_EQ(file.size(), 34 + GetUInt32(file, Local::CompressedSize) + descriptorSize + 50 + 22);
    }
}

TEST_F(ArchiveWriter, StoresAnyStreamFromItsFirstByte)
{
    std::mt19937 generator(5);
    std::string noise(100000, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(generator());
    const std::string sites = ManySites(3000);
    struct Case {
        std::string text;
        std::uint16_t method;
    };
    for (const Case& c : { Case { noise, MethodStored }, Case { sites, MethodDeflate } }) {
        SCOPED_TRACE(c.method);
        ChunkedStream stream(c.text, 777, 0);
        stream.SetPosition(c.text.size());
        TArchiveWriter writer;
        writer.SetFileName(folder.File("s.zip"));
        writer.StoreMember("Data", stream);
        const std::string file = folder.Read("s.zip");
        EXPECT_EQ(GetUInt16(file, Local::Method), c.method);
        EXPECT_EQ(GetUInt32(file, Local::UncompressedSize), c.text.size());
        EXPECT_EQ(GetUInt32(file, Local::Crc), Crc32(c.text));
        const std::string data = file.substr(34, GetUInt32(file, Local::CompressedSize));
        EXPECT_TRUE((c.method == MethodStored ? data : RawInflate(data, c.text.size())) == c.text);
    }
}

TEST_F(ArchiveWriter, SavesOfTheSameListDifferInTheirEncryptedBytes)
{
    const std::string first = Write("one.zip", ManySites(20), "pw");
    const std::string second = Write("two.zip", ManySites(20), "pw");
    EXPECT_EQ(first.size(), second.size());
    EXPECT_NE(first.substr(34, 12), second.substr(34, 12));
}

TEST_F(ArchiveWriter, ChoosesTheContainerByExtension)
{
    EXPECT_NO_THROW(Write("upper.Zip", "x", ""));
    EXPECT_NO_THROW(Write("lib.JAR", "x", ""));
    for (const char* name : { "list.txt", "noextension", "a.tar", "a.gz", "a.tgz", "a.bz2", "a.tbz", "a.exe", "a.cab" }) {
        TArchiveWriter writer;
        try {
            writer.SetFileName(folder.File(name));
            ADD_FAILURE() << name << " was accepted";
        } catch (const AppError& error) {
            EXPECT_STREQ(error.what(), "Unhandled Archive Type") << name;
        }
        EXPECT_EQ(writer.FileName(), "");
    }
    EXPECT_EQ(folder.EntryCount(), 2u) << "refused names create no file";
}

TEST_F(ArchiveWriter, FailuresRaiseTheirMessages)
{
    TArchiveWriter writer;
    TMemoryStream stream("a=b\r\n");
    try {
        writer.StoreMember("Data", stream);
        ADD_FAILURE() << "stored without an archive";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "Archive does not exist - Filename is blank");
    }
    const std::string missing = folder.File("no/such/folder.zip");
    try {
        writer.SetFileName(missing);
        ADD_FAILURE() << "created in a missing folder";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), "Cannot create file \"" + missing + "\". No such file or directory");
    }
}

TEST_F(ArchiveWriter, ReplacesWholeFilesAndLeavesNothingBeside)
{
    folder.Write("kept.zip", "old content");
    ::chmod(folder.File("kept.zip").c_str(), 0640);
    Write("kept.zip", ManySites(3), "");
    struct stat status {};
    ::stat(folder.File("kept.zip").c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
    EXPECT_EQ(GetUInt32(folder.Read("kept.zip"), 0), LocalHeaderSignature);

    Write("new.zip", ManySites(3), "");
    ::stat(folder.File("new.zip").c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0600u);

    {
        TArchiveWriter abandoned;
        abandoned.SetFileName(folder.File("kept.zip"));
    }
    EXPECT_EQ(GetUInt32(folder.Read("kept.zip"), 0), LocalHeaderSignature) << "no save, no change";
    EXPECT_EQ(folder.EntryCount(), 2u);
}

TEST_F(ArchiveWriter, ArchiveOnARemovableDriveStartsWithTheSplitMarkerAndReadsBack)
{
    FixRemovableDrive(true);
    const std::string text = ManySites(40);
    const std::string file = Write("r.zip", text, "pw");
    FixRemovableDrive(std::nullopt);
    const std::size_t n = GetUInt32(file, 4 + Local::CompressedSize);
    ASSERT_EQ(file.size(), 4 + 100 + n + 22);
    EXPECT_EQ(file.substr(0, 4), "PK00");
    EXPECT_EQ(GetUInt32(file, 4 + Local::Signature), LocalHeaderSignature);
    EXPECT_EQ(GetUInt32(file, 4 + 50 + n + Central::LocalHeaderOffset), 4u);
    EXPECT_EQ(GetUInt32(file, 4 + 100 + n + End::CentralDirectoryOffset), 4 + 50 + n);

    TArchiveReader reader;
    reader.SetFileName(folder.File("r.zip"));
    reader.SetPassword("pw");
    TMemoryStream out;
    reader.ExtractMember("Data", out);
    EXPECT_TRUE(out.Bytes() == text);
}

TEST_F(ArchiveWriter, FixedDisksAreNotRemovable)
{
    EXPECT_FALSE(IsOnRemovableDrive(folder.File("any.zip")));
    EXPECT_FALSE(IsOnRemovableDrive(folder.File("no/such/folder/any.zip")));
}

// A file-size limit makes the system refuse the write as a full disk would.
TEST_F(ArchiveWriter, AFailedWriteRaisesAndLeavesTheOldArchive)
{
    folder.Write("full.zip", "old content");
    rlimit original {};
    ::getrlimit(RLIMIT_FSIZE, &original);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = original;
    limited.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    std::mt19937 generator(9);
    std::string noise(100000, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(generator());
    try {
        Write("full.zip", noise, "pw");
        ADD_FAILURE() << "a refused write reported success";
    } catch (const AppError& error) {
        EXPECT_NE(std::string(error.what()).find("File too large"), std::string::npos) << error.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(folder.Read("full.zip"), "old content");
    EXPECT_EQ(folder.EntryCount(), 1u) << "the temporary file is removed";
}

TEST(MemberName, IsNormalised)
{
    const std::pair<const char*, const char*> cases[] = {
        { "Data", "Data" }, { "C:\\dir\\Data", "dir/Data" }, { "\\Data", "Data" },
        { ".\\a\\..\\b", "a/b" }, { "dir\\", "dir/" },
    };
    for (const auto& [name, normalised] : cases)
        EXPECT_EQ(NormaliseMemberName(name), normalised) << name;
}

} // namespace
