#include "archive/ArchiveReader.h"

#include "FixedEncryptionHeaders.h"
#include "ScratchFolder.h"
#include "archive/ArchiveWriter.h"
#include "archive/ZipLayout.h"
#include "platform/AppError.h"

#include <gtest/gtest.h>

#include <algorithm>
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

// An archive of several members put together from the layout records.
std::string BuildArchive(const std::vector<std::pair<std::string, std::string>>& members, const std::string& comment)
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
    file += central;
    AppendEndRecords(file, members.size(), central.size(), centralOffset);
    file[file.size() - 2] = static_cast<char>(comment.size() & 0xFF);
    file[file.size() - 1] = static_cast<char>(comment.size() >> 8);
    return file + comment;
}

// One deflated member "Data" whose header declares Size bytes.
std::string DeflatedArchive(const std::string& text, std::uint64_t declaredSize)
{
    std::string deflated(compressBound(static_cast<uLong>(text.size())) + 64, '\0');
    z_stream stream {};
    deflateInit2(&stream, 1, Z_DEFLATED, -MAX_WBITS, 9, Z_DEFAULT_STRATEGY);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(deflated.data());
    stream.avail_out = static_cast<uInt>(deflated.size());
    deflate(&stream, Z_FINISH);
    deflated.resize(stream.total_out);
    deflateEnd(&stream);
    EntryFields entry;
    entry.name = "Data";
    entry.method = MethodDeflate;
    entry.versionNeeded = 20;
    entry.crc = Crc32(text);
    entry.compressedSize = deflated.size();
    entry.uncompressedSize = declaredSize;
    std::string file;
    AppendLocalHeader(file, entry);
    file += deflated;
    std::string central;
    AppendCentralHeader(central, entry, 0);
    const std::uint64_t centralOffset = file.size();
    file += central;
    AppendEndRecords(file, 1, central.size(), centralOffset);
    return file;
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
    const long before = PeakKilobytes();
    EXPECT_LE(Extract(folder.File("bomb.zip"), "").size(), 1000u);
    EXPECT_LE(Extract(folder.File("short.zip"), "").size(), 8u);
    EXPECT_LT(PeakKilobytes() - before, 64 * 1024) << "kilobytes more at the peak";
    ASSERT_EQ(failures.size(), 2u);
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

} // namespace
