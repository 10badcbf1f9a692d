#include "archive/ArchiveReader.h"
#include "archive/ArchiveWriter.h"

#include "ScratchFolder.h"
#include "platform/AppError.h"
#include "platform/FileFaults.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <random>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

std::string Sites(int count, const std::string& user = "user")
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += "Site " + std::to_string(i) + "=" + user + std::to_string(i) + "\tpw\thttps://example.org\t\r\n";
    return text;
}

std::string Noise(std::size_t size)
{
    std::mt19937 generator(3);
    std::string noise(size, '\0');
    for (char& byte : noise)
        byte = static_cast<char>(generator());
    return noise;
}

void Save(const std::string& path, const std::string& text, const std::string& password = "")
{
    TArchiveWriter writer;
    writer.SetPassword(password);
    writer.SetFileName(path);
    TMemoryStream stream(text);
    writer.StoreMember("Data", stream);
}

std::string ReadBack(const std::string& path, const std::string& password = "")
{
    TArchiveReader reader;
    reader.SetFileName(path);
    reader.SetPassword(password);
    TMemoryStream out;
    reader.ExtractMember("Data", out);
    return out.Bytes();
}

// The message a save to Path fails with, or "" when it succeeds.
std::string SaveFailure(const std::string& path, const std::string& text)
{
    try {
        Save(path, text);
    } catch (const AppError& error) {
        return error.what();
    }
    return "";
}

std::vector<std::string> Entries(const std::string& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

std::string CannotCreate(const std::string& path, int error)
{
    return "Cannot create file \"" + path + "\". " + std::strerror(error);
}

// Every test leaves the file-system calls as it found them.
class AtomicSave : public testing::Test {
protected:
    void TearDown() override { HookFileCalls(nullptr); }

    ScratchFolder folder;
};

TEST_F(AtomicSave, SavingThroughLinksWritesTheFileTheyEndAtAndKeepsThem)
{
    fs::create_directories(folder.File("real"));
    fs::create_directories(folder.File("links/deeper"));
    struct Case {
        const char* description;
        std::vector<std::pair<std::string, std::string>> links; // link, what it holds; the first is saved to
        const char* real;
        bool realExists;
    };
    const std::string realPath = folder.File("real/a.zip");
    const Case cases[] = {
        { "absolute link", { { "links/abs.zip", realPath } }, "real/a.zip", true },
        { "relative link", { { "links/rel.zip", "../real/a.zip" } }, "real/a.zip", true },
        { "relative chain through another folder",
            { { "links/chain.zip", "deeper/hop.zip" }, { "links/deeper/hop.zip", "../../real/a.zip" } }, "real/a.zip",
            true },
        { "link beside its file", { { "real/alias.zip", "a.zip" } }, "real/a.zip", true },
        { "dangling link", { { "links/new.zip", "../real/b.zip" } }, "real/b.zip", false },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        if (c.realExists)
            Save(folder.File(c.real), Sites(2, "old"));
        for (const auto& [link, holds] : c.links)
            fs::create_symlink(holds, folder.File(link));
        const std::vector<std::string> realBefore = Entries(folder.File("real"));

        Save(folder.File(c.links.front().first), Sites(3, "new"), "pw");

        for (const auto& [link, holds] : c.links) {
            ASSERT_TRUE(fs::is_symlink(folder.File(link))) << link;
            EXPECT_EQ(fs::read_symlink(folder.File(link)).string(), holds);
        }
        EXPECT_EQ(ReadBack(folder.File(c.real), "pw"), Sites(3, "new"));
        std::vector<std::string> expected = realBefore;
        if (!c.realExists)
            expected.push_back(fs::path(c.real).filename().string());
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(Entries(folder.File("real")), expected) << "nothing left beside the real file";
        for (const auto& link : c.links)
            fs::remove(folder.File(link.first));
        fs::remove(folder.File(c.real));
    }
}

// The caller here is root, who may write any file: a file nobody may write still
// counts as read-only, as it would on the system the program was made for.
TEST_F(AtomicSave, TargetsThatCannotBeWrittenFailBeforeAnythingIsWritten)
{
    folder.Write("readonly.zip", "old content");
    ::chmod(folder.File("readonly.zip").c_str(), 0444);
    fs::create_symlink("readonly.zip", folder.File("link.zip"));
    fs::create_directories(folder.File("folder.zip"));
    fs::create_symlink("loop.zip", folder.File("loop.zip"));
    const std::pair<std::string, int> cases[] = {
        { "readonly.zip", EACCES }, { "link.zip", EACCES }, { "folder.zip", EISDIR }, { "loop.zip", ELOOP } };
    for (const auto& [name, error] : cases) {
        SCOPED_TRACE(name);
        TArchiveWriter writer;
        try {
            writer.SetFileName(folder.File(name));
            ADD_FAILURE() << "the target was accepted";
        } catch (const AppError& raised) {
            EXPECT_EQ(std::string(raised.what()), CannotCreate(folder.File(name), error));
        }
        EXPECT_EQ(writer.FileName(), "");
    }
    EXPECT_EQ(folder.Read("readonly.zip"), "old content");
    EXPECT_TRUE(fs::is_symlink(folder.File("link.zip")));
    EXPECT_TRUE(fs::is_symlink(folder.File("loop.zip")));
    EXPECT_TRUE(fs::is_empty(folder.File("folder.zip")));
    EXPECT_EQ(Entries(folder.File("")),
        (std::vector<std::string> { "folder.zip", "link.zip", "loop.zip", "readonly.zip" }));
}

// Runs Body in a child that has given up root for "nobody"; yields what the child
// wrote to its pipe, or nothing when the child could not drop its privileges.
std::optional<std::string> AsNobody(const std::function<std::string()>& body)
{
    int channel[2];
    if (::geteuid() != 0 || ::pipe(channel) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(77);
        const std::string report = body();
        const ssize_t ignored = ::write(channel[1], report.data(), report.size());
        (void)ignored;
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(channel[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<std::size_t>(n));
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return report;
}

TEST_F(AtomicSave, AUserCannotSaveOverAFileHeMayNotWrite)
{
    ::chmod(folder.File("").c_str(), 0777);
    folder.Write("roots.zip", "root's");
    ::chmod(folder.File("roots.zip").c_str(), 0644);
    folder.Write("own.zip", "own");
    ::chown(folder.File("own.zip").c_str(), 65534, 65534);
    ::chmod(folder.File("own.zip").c_str(), 0444);
    folder.Write("writable.zip", "writable");
    ::chmod(folder.File("writable.zip").c_str(), 0666);
    const std::optional<std::string> report = AsNobody([&] {
        return SaveFailure(folder.File("roots.zip"), Sites(1)) + "\n" + SaveFailure(folder.File("own.zip"), Sites(1))
            + "\n" + SaveFailure(folder.File("writable.zip"), Sites(1));
    });
    if (!report)
        GTEST_SKIP() << "no unprivileged user to run as";
    EXPECT_EQ(*report,
        CannotCreate(folder.File("roots.zip"), EACCES) + "\n" + CannotCreate(folder.File("own.zip"), EACCES) + "\n");
    EXPECT_EQ(folder.Read("roots.zip"), "root's");
    EXPECT_EQ(folder.Read("own.zip"), "own");
    EXPECT_EQ(ReadBack(folder.File("writable.zip")), Sites(1));
    EXPECT_EQ(Entries(folder.File("")), (std::vector<std::string> { "own.zip", "roots.zip", "writable.zip" }));
}

// A save in a child process that stops itself at its first call of the given name.
pid_t StartStoppedSave(const std::string& path, const std::string& stopAt, bool namedTemporary)
{
    const pid_t child = ::fork();
    if (child == 0) {
        HookFileCalls([=, stopped = false](std::string_view call) mutable {
            if (call == stopAt && !stopped) {
                stopped = true;
                ::raise(SIGSTOP);
            }
            return namedTemporary && call == "open-unnamed" ? EOPNOTSUPP : 0;
        });
        try {
            Save(path, Sites(20000, "child"), "pw");
        } catch (...) {
            ::_exit(1);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, WUNTRACED);
    EXPECT_TRUE(WIFSTOPPED(status)) << "the child stopped at " << stopAt;
    return child;
}

void Kill(pid_t child)
{
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
}

TEST_F(AtomicSave, AKilledSaveLeavesNothingTheNextSaveDoesNotRemove)
{
    struct Case {
        const char* stopAt;
        bool namedTemporary;
    };
    const Case cases[] = { { "write", false }, { "fsync", false }, { "rename", false }, { "write", true },
        { "rename", true } };
    const std::string archive = folder.File("a.zip");
    folder.Write("a.zip.backup", "the user's own");
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.stopAt) + (c.namedTemporary ? ", named temporary file" : ", unnamed"));
        Save(archive, Sites(5, "old"));
        const std::string old = folder.Read("a.zip");
        Kill(StartStoppedSave(archive, c.stopAt, c.namedTemporary));
        EXPECT_EQ(folder.Read("a.zip"), old);

        Save(archive, Sites(5, "next"));
        EXPECT_EQ(ReadBack(archive), Sites(5, "next"));
        EXPECT_EQ(Entries(folder.File("")), (std::vector<std::string> { "a.zip", "a.zip.backup" }));
    }
}

TEST_F(AtomicSave, ASaveStillUnderWayIsNotTakenForALeftover)
{
    const std::string archive = folder.File("a.zip");
    Save(archive, Sites(5, "old"));
    const pid_t child = StartStoppedSave(archive, "write", true);
    ASSERT_EQ(Entries(folder.File("")).size(), 2u);
    Save(archive, Sites(5, "next"));
    EXPECT_EQ(Entries(folder.File("")).size(), 2u) << "the other save's file is kept";
    ::kill(child, SIGCONT);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(ReadBack(archive, "pw"), Sites(20000, "child"));
    EXPECT_EQ(Entries(folder.File("")), std::vector<std::string> { "a.zip" });
}

TEST_F(AtomicSave, EveryFailingFileCallLeavesTheOldArchiveOrACompleteNewOne)
{
    const std::string archive = folder.File("a.zip");
    for (const bool namedTemporary : { false, true }) {
        for (const int error : { EIO, ENOSPC }) {
            SCOPED_TRACE(std::string(std::strerror(error)) + (namedTemporary ? ", named temporary file" : ""));
            bool succeeded = false;
            for (int failing = 1; !succeeded && failing < 100; ++failing) {
                SCOPED_TRACE("failing call " + std::to_string(failing));
                Save(archive, Sites(50, "old"));
                const std::string old = folder.Read("a.zip");
                int calls = 0;
                std::string failed;
                HookFileCalls([&](std::string_view call) {
                    if (namedTemporary && call == "open-unnamed")
                        return EOPNOTSUPP;
                    if (++calls != failing)
                        return 0;
                    failed = call;
                    return error;
                });
                const std::string failure = SaveFailure(archive, Sites(60, "new"));
                HookFileCalls(nullptr);
                succeeded = failure.empty();
                EXPECT_EQ(succeeded, failed.empty()) << "the failing " << failed << " was reported";
                if (folder.Read("a.zip") != old)
                    EXPECT_EQ(ReadBack(archive), Sites(60, "new")) << "after " << failure;
                EXPECT_EQ(Entries(folder.File("")), std::vector<std::string> { "a.zip" }) << "after " << failure;
            }
            EXPECT_TRUE(succeeded);
        }
    }
}

// A small file system of its own that fills up; only root may mount one.
TEST_F(AtomicSave, AFullFileSystemLeavesTheOldArchive)
{
    const std::string small = folder.File("small");
    fs::create_directories(small);
    if (::mount("tmpfs", small.c_str(), "tmpfs", 0, "size=256k") != 0)
        GTEST_SKIP() << "cannot mount a small file system here: " << std::strerror(errno);
    const std::string archive = small + "/a.zip";
    Save(archive, Sites(50, "old"), "pw");
    const std::string old = folder.Read("small/a.zip");
    try {
        Save(archive, Noise(512 * 1024), "pw");
        ADD_FAILURE() << "a full file system reported success";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), "Stream write error. No space left on device");
    }
    EXPECT_EQ(folder.Read("small/a.zip"), old);
    EXPECT_EQ(Entries(small), std::vector<std::string> { "a.zip" });
    ::umount2(small.c_str(), MNT_DETACH);
}

} // namespace
