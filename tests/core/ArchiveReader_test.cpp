#include "archive/ArchiveReader.h"

#include "FixedEncryptionHeaders.h"
#include "RawDeflate.h"
#include "ScratchFolder.h"
#include "archive/ArchiveWriter.h"
#include "archive/ZipLayout.h"
#include "platform/AppError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <optional>
#include <sys/resource.h>
#include <zlib.h>

namespace {

using namespace ZipLayout;

struct Failure {
    int processType, errorClass, errorCode;
    std::string message;
};

std::string Sites(int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "Site" + std::to_string(i) + "=user\tpw" + std::to_string(i * 7919) + "\t\t\r\n";
    return text;
}

class ArchiveReader : public testing::Test {
protected:
    FixedEncryptionHeaders fixedHeaders;

    std::string WriteArchive(const std::string& name, const std::string& text, const std::string& password)
    {
        TArchiveWriter writer;
        writer.SetPassword(password);
        writer.SetFileName(folder.File(name));
        TMemoryStream stream(text);
        writer.StoreMember("Data", stream);
        return folder.File(name);
    }

    // Opens Path and extracts "Data" with Password, recording every notification.
    std::string Extract(const std::string& path, const std::string& password)
    {
        TArchiveReader reader;
        reader.SetPassword(password);
        reader.SetOnProcessItemFailure([this](TArchiveReader& sender, const TArchiveEntry&, int process, int errorClass,
                                           int errorCode) {
            failures.push_back({ process, errorClass, errorCode, sender.FailureMessage() });
        });
        reader.SetFileName(path);
        TMemoryStream stream;
        reader.ExtractMember("Data", stream);
        return stream.Bytes();
    }

    std::string OpenError(const std::string& path)
    {
        try {
            TArchiveReader reader;
            reader.SetFileName(path);
        } catch (const AppError& error) {
            return error.what();
        }
        return "";
    }

    ScratchFolder folder;
    std::vector<Failure> failures;
};

TEST_F(ArchiveReader, ReadsWhatTheWriterWrote)
{
    for (const std::string& password : { std::string(), std::string("secret \xE4") }) {
        for (int count : { 0, 1, 500 }) {
            const std::string text = Sites(count);
            EXPECT_EQ(Extract(WriteArchive("r.zip", text, password), password), text) << count;
        }
    }
    EXPECT_TRUE(failures.empty());
}

TEST_F(ArchiveReader, PasswordFailuresArriveAsOneNotification)
{
    const std::string path = WriteArchive("p.zip", Sites(10), "right");
    EXPECT_EQ(Extract(path, ""), "");
    EXPECT_EQ(Extract(path, "wrong"), "");
    ASSERT_EQ(failures.size(), 2u);
    for (const Failure& failure : failures) {
        EXPECT_EQ(failure.processType, ProcessExtract);
        EXPECT_EQ(failure.errorClass, ArchiveError);
        EXPECT_EQ(failure.errorCode, InvalidPassword);
        EXPECT_EQ(failure.message, "Cannot extract file - invalid password");
    }
}

TEST_F(ArchiveReader, PasswordRetriesCountTheChecks)
{
    const std::string path = WriteArchive("p.zip", Sites(3), "right");
    TArchiveReader reader;
    int asked = 0;
    reader.SetOnNeedPassword([&asked](TArchiveReader&, std::string& password) {
        ++asked;
        password = asked < 3 ? "wrong" + std::to_string(asked) : "right";
    });
    int failuresSeen = 0;
    reader.SetOnProcessItemFailure([&](TArchiveReader&, const TArchiveEntry&, int, int, int) { ++failuresSeen; });
    reader.SetFileName(path);
    TMemoryStream stream;
    reader.ExtractMember("Data", stream);
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(failuresSeen, 0);
    EXPECT_EQ(stream.Bytes(), Sites(3));
    EXPECT_EQ(reader.Password(), "right");

    TArchiveReader aborting;
    aborting.SetPassword("wrong");
    aborting.SetOnNeedPassword([](TArchiveReader&, std::string& password) { password.clear(); });
    int code = 0;
    aborting.SetOnProcessItemFailure([&](TArchiveReader&, const TArchiveEntry&, int, int, int errorCode) { code = errorCode; });
    aborting.SetFileName(path);
    aborting.ExtractMember("Data", stream);
    EXPECT_EQ(code, AbortedByUser);
}

TEST_F(ArchiveReader, HandlerMaySetThePasswordAndExtractAgain)
{
    const std::string path = WriteArchive("n.zip", Sites(5), "right");
    TArchiveReader reader;
    TMemoryStream stream;
    int notifications = 0;
    reader.SetOnProcessItemFailure([&](TArchiveReader& sender, const TArchiveEntry&, int, int, int errorCode) {
        ++notifications;
        EXPECT_EQ(errorCode, InvalidPassword);
        sender.SetPassword("right");
        sender.ExtractMember("Data", stream);
    });
    reader.SetFileName(path);
    reader.ExtractMember("Data", stream);
    EXPECT_EQ(notifications, 1);
    EXPECT_EQ(stream.Bytes(), Sites(5));
}

TEST_F(ArchiveReader, EmptyListWithPasswordWritesNothing)
{
    EXPECT_EQ(Extract(WriteArchive("e.zip", "", "pw"), "pw"), "");
    EXPECT_TRUE(failures.empty());
}

TEST_F(ArchiveReader, DamagedDataFailsTheCrcCheckAfterWriting)
{
    const std::string path = WriteArchive("d.zip", "a=b\t\t\t\r\n", "");
    std::string bytes = folder.Read("d.zip");
    bytes[34] ^= 0x01;
    folder.Write("d.zip", bytes);
    EXPECT_EQ(Extract(path, "").size(), 8u);
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_EQ(failures[0].errorCode, FailedCrcCheck);
    EXPECT_EQ(failures[0].message, "Failed CRC Check");
}

using Members = std::vector<std::pair<std::string, std::string>>;

// Stored members and their central directory, without end records.
struct ArchiveBody {
    std::string bytes;
    std::uint64_t centralOffset;
    std::uint64_t centralSize;
};

ArchiveBody BuildBody(const Members& members)
{
    std::string file;
    std::string central;
    for (const auto& [name, text] : members) {
        EntryFields entry;
        entry.name = name;
        entry.crc = static_cast<std::uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(text.data()), static_cast<uInt>(text.size())));
        entry.compressedSize = entry.uncompressedSize = text.size();
        const std::uint64_t offset = file.size();
        AppendLocalHeader(file, entry);
        file += text;
        AppendCentralHeader(central, entry, offset);
    }
    const std::uint64_t centralOffset = file.size();
    return { file + central, centralOffset, central.size() };
}

// An archive of several members put together from the layout records.
std::string BuildArchive(const Members& members, const std::string& comment)
{
    auto [file, centralOffset, centralSize] = BuildBody(members);
    AppendEndRecords(file, members.size(), centralSize, centralOffset);
    file[file.size() - 2] = static_cast<char>(comment.size() & 0xFF);
    file[file.size() - 1] = static_cast<char>(comment.size() >> 8);
    return file + comment;
}

// One member "Data" holding Data, its other fields as Entry declares them.
std::string SingleMember(EntryFields entry, const std::string& data)
{
    entry.name = "Data";
    entry.compressedSize = data.size();
    std::string file;
    AppendLocalHeader(file, entry);
    file += data;
    std::string central;
    AppendCentralHeader(central, entry, 0);
    const std::uint64_t centralOffset = file.size();
    file += central;
    AppendEndRecords(file, 1, central.size(), centralOffset);
    return file;
}

// One deflated member "Data" whose header declares Size bytes.
std::string DeflatedArchive(const std::string& text, std::uint64_t declaredSize)
{
    // The fastest level: the largest text here is 200 MiB of zeros.
    const std::string deflated = RawDeflate(text, 1);
    EntryFields entry;
    entry.method = MethodDeflate;
    entry.versionNeeded = 20;
    entry.crc = Crc32(text);
    entry.uncompressedSize = declaredSize;
    return SingleMember(entry, deflated);
}

EntryFields Declared(std::uint16_t flags, std::uint16_t method, std::uint32_t crc, std::uint64_t size)
{
    EntryFields entry;
    entry.flags = flags;
    entry.method = method;
    entry.versionNeeded = 20;
    entry.crc = crc;
    entry.uncompressedSize = size;
    return entry;
}

long PeakKilobytes()
{
    rusage usage {};
    ::getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// A member that inflates far beyond what it declares, and one that declares far
// more than its data holds: both fail in bounded memory.
TEST_F(ArchiveReader, SizesThatLieFailInBoundedMemory)
{
    const std::string zeros(std::size_t { 200 } << 20, '\0');
    folder.Write("bomb.zip", DeflatedArchive(zeros, 1000));
    folder.Write("short.zip", DeflatedArchive("a=b\t\t\t\r\n", std::uint64_t { 1 } << 40));
    // Stored bytes never grow: a large stored member declaring the largest size asks
    // for no more memory than it holds.
    const std::string stored(std::size_t { 32 } << 20, 'x');
    folder.Write("stored.zip", SingleMember(Declared(0, MethodStored, Crc32(stored), ~std::uint64_t { 0 }), stored));
    const long before = PeakKilobytes();
    EXPECT_LE(Extract(folder.File("bomb.zip"), "").size(), 1000u);
    EXPECT_LE(Extract(folder.File("short.zip"), "").size(), 8u);
    EXPECT_LE(Extract(folder.File("stored.zip"), "").size(), stored.size());
    EXPECT_LT(PeakKilobytes() - before, 64 * 1024) << "kilobytes more at the peak";
    ASSERT_EQ(failures.size(), 3u);
    for (const Failure& failure : failures)
        EXPECT_EQ(failure.message, "Invalid compressed data");
}

TEST_F(ArchiveReader, FindsTheLastEntryNamedDataIgnoringAsciiCase)
{
    folder.Write("m.zip", BuildArchive({ { "Data", "first" }, { "other", "x" }, { "DATA", "last" } }, ""));
    EXPECT_EQ(Extract(folder.File("m.zip"), ""), "last");
    folder.Write("dir.zip", BuildArchive({ { "dir/Data", "x" }, { "D\xC3\x84TA", "y" } }, ""));
    EXPECT_EQ(Extract(folder.File("dir.zip"), ""), "");
    EXPECT_TRUE(failures.empty()) << "a missing member is not a failure";
}

TEST_F(ArchiveReader, RefusesNewerVersionsAndUnknownMethods)
{
    const std::string archive = BuildArchive({ { "Data", "text" } }, "");
    const std::size_t central = GetUInt32(archive, archive.size() - End::Size + End::CentralDirectoryOffset);
    std::string newer = archive;
    newer[central + Central::VersionNeeded] = 64;
    folder.Write("newer.zip", newer);
    std::string unknown = archive;
    unknown[central + Central::Method] = 99;
    folder.Write("unknown.zip", unknown);

    EXPECT_EQ(Extract(folder.File("newer.zip"), ""), "");
    EXPECT_EQ(Extract(folder.File("unknown.zip"), ""), "");
    ASSERT_EQ(failures.size(), 2u);
    EXPECT_EQ(failures[0].errorCode, NewerVersionRequired);
    EXPECT_EQ(failures[0].message, "Cannot extract file - newer version required");
    EXPECT_EQ(failures[1].errorCode, UnsupportedMethod);
    EXPECT_EQ(failures[1].message, "Cannot extract file - unsupported compression method");
}

TEST_F(ArchiveReader, ToleratesCommentsTrailingAndLeadingBytes)
{
    const std::string archive = BuildArchive({ { "Data", "text" } }, std::string(100, 'c'));
    folder.Write("comment.zip", archive);
    EXPECT_EQ(Extract(folder.File("comment.zip"), ""), "text");
    folder.Write("trailing.dat", archive + std::string(70000, 't'));
    EXPECT_EQ(Extract(folder.File("trailing.dat"), ""), "text");
    folder.Write("leading.zip", std::string(3000, 'L') + archive);
    EXPECT_EQ(Extract(folder.File("leading.zip"), ""), "text");
    EXPECT_TRUE(failures.empty());
}

TEST_F(ArchiveReader, OpeningFailures)
{
    folder.Write("empty.zip", "");
    folder.Write("text.zip", "just some text, not an archive");
    folder.Write("list.tar", BuildArchive({ { "Data", "t" } }, ""));
    std::string broken = BuildArchive({ { "Data", "t" } }, "");
    broken[35] = 'X'; // the central header's signature
    folder.Write("broken.zip", broken);
    EXPECT_EQ(OpenError(folder.File("missing.zip")), "File not found");
    EXPECT_EQ(OpenError(folder.File("empty.zip")), "Invalid Stream");
    EXPECT_EQ(OpenError(folder.File("text.zip")), "Unhandled Archive Type");
    EXPECT_EQ(OpenError(folder.File("list.tar")), "Unhandled Archive Type");
    EXPECT_EQ(OpenError(folder.File("broken.zip")), "Invalid file - not a PKZip file");

    TArchiveReader reader;
    TMemoryStream stream;
    EXPECT_THROW(reader.ExtractMember("Data", stream), AppError);
}

TEST_F(ArchiveReader, DamageNeverPassesForTheText)
{
    const std::string text = Sites(40);
    for (const std::string& password : { std::string(), std::string("pw") }) {
        WriteArchive("s.zip", text, password);
        const std::string original = folder.Read("s.zip");
        std::vector<std::string> variants;
        for (std::size_t length = 0; length < original.size(); ++length)
            variants.push_back(original.substr(0, length));
        for (std::size_t at = 0; at < original.size(); ++at) {
            std::string flipped = original;
            flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at % 8)));
            variants.push_back(flipped);
        }
        for (const std::string& variant : variants) {
            folder.Write("v.zip", variant);
            failures.clear();
            TArchiveReader reader;
            reader.SetPassword(password);
            reader.SetOnProcessItemFailure([this](TArchiveReader&, const TArchiveEntry&, int, int, int) {
                failures.push_back({});
            });
            try {
                reader.SetFileName(folder.File("v.zip"));
            } catch (const AppError&) {
                continue;
            }
            TMemoryStream stream;
            reader.ExtractMember("Data", stream);
            const bool hasMember = std::any_of(reader.Entries().begin(), reader.Entries().end(),
                [](const TArchiveEntry& entry) { return entry.name == "Data"; });
            if (failures.empty() && hasMember) {
                EXPECT_EQ(stream.Bytes(), text) << "a damaged archive passed with the wrong text";
            }
        }
    }
}

// A Zip64 end record at At and its locator, holding the given values.
std::string Zip64Records(std::uint64_t at, std::uint64_t entries, std::uint64_t size, std::uint64_t offset)
{
    std::string out;
    PutUInt32(out, Zip64EndRecordSignature);
    PutUInt64(out, 44); // the record's length after this field
    PutUInt16(out, 45);
    PutUInt16(out, 45);
    PutUInt32(out, 0);
    PutUInt32(out, 0);
    PutUInt64(out, entries);
    PutUInt64(out, entries);
    PutUInt64(out, size);
    PutUInt64(out, offset);
    PutUInt32(out, Zip64LocatorSignature);
    PutUInt32(out, 0);
    PutUInt64(out, at);
    PutUInt32(out, 1);
    return out;
}

std::string EndRecord(std::uint16_t entries, std::uint32_t size, std::uint32_t offset)
{
    std::string out;
    PutUInt32(out, EndRecordSignature);
    PutUInt32(out, 0); // both disk numbers
    PutUInt16(out, entries);
    PutUInt16(out, entries);
    PutUInt32(out, size);
    PutUInt32(out, offset);
    PutUInt16(out, 0);
    return out;
}

// Members, then Zip64 records counting Zip64Entries, then an end record counting
// EndEntries whose directory offset is saturated when SaturateOffset.
std::string Zip64Archive(const Members& members, std::uint64_t zip64Entries, std::uint16_t endEntries,
    bool saturateOffset)
{
    const ArchiveBody body = BuildBody(members);
    return body.bytes + Zip64Records(body.bytes.size(), zip64Entries, body.centralSize, body.centralOffset)
        + EndRecord(endEntries, body.centralSize,
            saturateOffset ? 0xFFFFFFFFu : static_cast<std::uint32_t>(body.centralOffset));
}

std::string FromHex(std::string_view hex)
{
    std::string bytes;
    for (std::size_t at = 0; at + 1 < hex.size(); at += 2)
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(at, 2)), nullptr, 16));
    return bytes;
}

// Written by Info-ZIP zip 3.0 (zip -X -0 -z) with the comment
// "note PK\x05\x06 kept for the records of the year".
const std::string InfoZipSignatureInComment = FromHex(
    "504b03040a000000000063948b5da89459df0800000008000000040000004461"
    "7461613d620909090d0a504b01021e030a000000000063948b5da89459df0800"
    "000008000000040000000000000000000000a4810000000044617461504b0506"
    "0000000001000100320000002a0000002a006e6f746520504b0506206b657074"
    "20666f7220746865207265636f726473206f66207468652079656172");


// Each archive is opened and "Data" extracted with no password, the prompts counted.
TEST_F(ArchiveReader, CraftedArchives)
{
    const Members data = { { "Data", "text" } };
    const std::string leading(3000, 'L');
    const std::string name76 = "notes/" + std::string(24, 'n'); // its central header is 76 bytes long
    const std::string cipherHeaderAndText = std::string(12, 'h') + "text";
    struct Case {
        const char* label;
        std::string archive;
        std::string text;
        const char* failure; // the one notification expected, if any
    };
    const Case cases[] = {
        { "end record counts one entry, Zip64 record none", Zip64Archive(data, 0, 1, true), "text", nullptr },
        { "saturated count from the Zip64 record", Zip64Archive(data, 1, 0xFFFF, false), "text", nullptr },
        { "Zip64 records after a 76-byte first central header",
            Zip64Archive({ { name76, "x" }, { "Data", "text" } }, 2, 2, false), "text", nullptr },
        { "leading bytes, saturated end record", leading + Zip64Archive(data, 1, 1, true), "text", nullptr },
        { "leading bytes, unsaturated end record", leading + Zip64Archive(data, 1, 1, false), "text", nullptr },
        { "Info-ZIP comment holding the end record signature", InfoZipSignatureInComment, "a=b\t\t\t\r\n",
            nullptr },
        { "AES method", SingleMember(Declared(FlagEncrypted, 99, Crc32("text"), 4), cipherHeaderAndText), "",
            "Cannot extract file - unsupported compression method" },
        { "strong encryption flag",
            SingleMember(Declared(FlagEncrypted | 0x0040, MethodStored, Crc32("text"), 4), cipherHeaderAndText), "",
            "Cannot extract file - unsupported compression method" },
        { "empty member with a CRC", SingleMember(Declared(0, MethodStored, 0x12345678u, 0), ""), "",
            "Failed CRC Check" },
    };
    for (const Case& crafted : cases) {
        SCOPED_TRACE(crafted.label);
        folder.Write("crafted.zip", crafted.archive);
        failures.clear();
        int prompts = 0;
        TArchiveReader reader;
        reader.SetOnNeedPassword([&prompts](TArchiveReader&, std::string& password) {
            ++prompts;
            password = "pw";
        });
        reader.SetOnProcessItemFailure([this](TArchiveReader& sender, const TArchiveEntry&, int process,
                                           int errorClass, int errorCode) {
            failures.push_back({ process, errorClass, errorCode, sender.FailureMessage() });
        });
        TMemoryStream stream;
        try {
            reader.SetFileName(folder.File("crafted.zip"));
            reader.ExtractMember("Data", stream);
        } catch (const AppError& error) {
            ADD_FAILURE() << error.what();
            continue;
        }
        EXPECT_EQ(stream.Bytes(), crafted.text);
        EXPECT_EQ(prompts, 0);
        if (!crafted.failure) {
            EXPECT_TRUE(failures.empty());
            continue;
        }
        ASSERT_EQ(failures.size(), 1u);
        EXPECT_EQ(failures[0].errorClass, ArchiveError);
        EXPECT_EQ(failures[0].message, crafted.failure);
    }
}

// Read calls this thread made so far, as the kernel counts them.
std::optional<long long> ReadCallsSoFar()
{
    std::ifstream io("/proc/thread-self/io");
    std::string key;
    long long value = 0;
    while (io >> key >> value)
        if (key == "syscr:")
            return value;
    return std::nullopt;
}

TEST_F(ArchiveReader, Zip64LocatorSearchReadsInLargeBlocks)
{
    const std::string padding(std::size_t { 4 } << 20, 'p');
    const ArchiveBody body = BuildBody({ { "Data", "text" } });
    const std::string saturatedEnd = EndRecord(1, static_cast<std::uint32_t>(body.centralSize), 0xFFFFFFFFu);
    folder.Write("far.zip", body.bytes + Zip64Records(body.bytes.size(), 1, body.centralSize, body.centralOffset)
            + padding + saturatedEnd);
    folder.Write("none.zip", body.bytes + padding + saturatedEnd);
    const std::optional<long long> before = ReadCallsSoFar();
    if (!before)
        GTEST_SKIP() << "the kernel does not count read calls here";
    EXPECT_EQ(Extract(folder.File("far.zip"), ""), "text");
    EXPECT_EQ(OpenError(folder.File("none.zip")), "Invalid file - not a PKZip file");
    EXPECT_LT(*ReadCallsSoFar() - *before, 1000) << "read calls for two searches through 4 MiB";
    EXPECT_TRUE(failures.empty());
}

} // namespace
