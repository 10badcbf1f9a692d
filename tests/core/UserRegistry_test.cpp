#include "platform/UserRegistry.h"

#include "EnvironmentVariable.h"
#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Names = std::vector<std::string>;

const std::string Header = "Windows Registry Editor Version 5.00\n\n";
const std::string KeyPath = "Software\\SiteVault";

struct stat StatusOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status;
}

std::string StringBytes(const std::string& text)
{
    return text + '\0';
}

class UserRegistry : public testing::Test {
protected:
    void SetUp() override { PointUserRegistryAt(File()); }
    void TearDown() override { PointUserRegistryAt(std::nullopt); }

    std::string File() const { return folder.File("user-registry.reg"); }
    std::string Text() const { return folder.Read("user-registry.reg"); }

    std::unique_ptr<TRegistryKey> Written(const std::vector<std::pair<std::string, std::string>>& values) const
    {
        std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForWriting(KeyPath);
        EXPECT_TRUE(key);
        for (const auto& [name, value] : values)
            EXPECT_TRUE(key && key->SetStringValue(name, value)) << name;
        return key;
    }

    static TRegistryData Read(const TRegistryKey& key, const std::string& name)
    {
        TRegistryData data;
        EXPECT_EQ(key.ReadValue(name, data), TRegistryKey::ReadResult::Read) << name;
        return data;
    }

    ScratchFolder folder;
};

TEST_F(UserRegistry, FileReadsAsTheRegistryEditorWritesIt)
{
    Written({ { "TfrmMain", "0 147 251 518 589" }, { "Reopen0", "/home/me/a \"quoted\" \\ name.zip" } });
    EXPECT_EQ(Text(),
        Header
            + "[HKEY_CURRENT_USER\\Software\\SiteVault]\n"
              "\"TfrmMain\"=\"0 147 251 518 589\"\n"
              "\"Reopen0\"=\"/home/me/a \\\"quoted\\\" \\\\ name.zip\"\n");
    EXPECT_EQ(StatusOf(File()).st_mode & 07777, 0600u);
}

TEST_F(UserRegistry, StringsRoundTripInTheFormThatCarriesThem)
{
    const std::string longBroken = std::string(40, 'a') + "\n" + std::string(40, 'b');
    struct Case {
        std::string name;
        std::string value;
        std::string line;
    };
    const Case cases[] = {
        { "Plain", "text", "\"Plain\"=\"text\"" },
        { "Quote\"And\\Slash", "C:\\x \"y\"", "\"Quote\\\"And\\\\Slash\"=\"C:\\\\x \\\"y\\\"\"" },
        { "", "unnamed", "@=\"unnamed\"" },
        { "Empty", "", "\"Empty\"=\"\"" },
        { "Utf8", "caf\xC3\xA9", "\"Utf8\"=\"caf\xC3\xA9\"" },
        { "Inner", std::string("a\0b", 3), "\"Inner\"=hex(1):61,00,62,00" },
        { "Break", "a\r\nb", "\"Break\"=hex(1):61,0d,0a,62,00" },
        { "Long", longBroken, "" },
    };
    const std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForWriting(KeyPath);
    ASSERT_TRUE(key);
    for (const Case& c : cases) {
        ASSERT_TRUE(key->SetStringValue(c.name, c.value)) << c.name;
        if (!c.line.empty()) {
            EXPECT_NE(Text().find("\n" + c.line + "\n"), std::string::npos) << Text();
        }
    }
    const std::unique_ptr<TRegistryKey> reopened = TRegistryKey::OpenForReading(KeyPath);
    ASSERT_TRUE(reopened);
    Names names;
    for (const Case& c : cases) {
        names.push_back(c.name);
        const TRegistryData data = Read(*reopened, c.name);
        EXPECT_EQ(data.type, RegistryString) << c.name;
        EXPECT_EQ(data.bytes, StringBytes(c.value)) << c.name;
    }
    EXPECT_EQ(reopened->ValueNames(), names);

    // The long list wraps as the registry editor's does, within 80 columns.
    const std::string text = Text();
    const std::size_t start = text.find("\"Long\"=hex(1):61,61,");
    ASSERT_NE(start, std::string::npos) << text;
    std::size_t lineCount = 0;
    for (std::size_t begin = start, end = 0; begin < text.size(); begin = end + 1, ++lineCount) {
        end = text.find('\n', begin);
        const std::string line = text.substr(begin, end - begin);
        EXPECT_LE(line.size(), 80u) << line;
        if (lineCount > 0) {
            EXPECT_EQ(line.substr(0, 2), "  ");
        }
        EXPECT_EQ(line.back() == '\\', end + 1 < text.size()) << line;
    }
    EXPECT_EQ(lineCount, 4u);
}

TEST_F(UserRegistry, ReadsEveryFormTheEditorWrites)
{
    folder.Write("user-registry.reg",
        "Windows Registry Editor Version 5.00\r\n\r\n"
        "; written by hand\r\n"
        "[HKEY_CURRENT_USER\\Software\\SiteVault]\r\n"
        "\"Text\"=\"a \\\"b\\\" \\\\c\"\r\n"
        "\"Number\"=dword:0000000a\r\n"
        "\"Bytes\"=hex:01,ff\r\n"
        "\"Expand\"=hex(2):25,00\r\n"
        "\"Wide\"=hex(b):01,02,03,04,05,06,07,08\r\n"
        "\"Nothing\"=hex(0):\r\n"
        "\"Wrapped\"=hex:00,01,02,\\\r\n"
        "  03,04,\\\r\n"
        "  05\r\n"
        "@=\"default\"\r\n"
        "  \"Spaced\" = \"x\"  \r\n");
    struct Case {
        const char* name;
        std::uint32_t type;
        std::string bytes;
    };
    const Case cases[] = {
        { "Text", RegistryString, StringBytes("a \"b\" \\c") },
        { "Number", RegistryDWord, std::string("\x0a\0\0\0", 4) },
        { "Bytes", RegistryBinary, "\x01\xff" },
        { "Expand", RegistryExpandString, std::string("%\0", 2) },
        { "Wide", 11, "\x01\x02\x03\x04\x05\x06\x07\x08" },
        { "Nothing", 0, "" },
        { "Wrapped", RegistryBinary, std::string("\0\x01\x02\x03\x04\x05", 6) },
        { "", RegistryString, StringBytes("default") },
        { "Spaced", RegistryString, StringBytes("x") },
    };
    const std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForReading(KeyPath);
    ASSERT_TRUE(key);
    Names names;
    for (const Case& c : cases) {
        names.push_back(c.name);
        const TRegistryData data = Read(*key, c.name);
        EXPECT_EQ(data.type, c.type) << c.name;
        EXPECT_EQ(data.bytes, c.bytes) << c.name;
    }
    EXPECT_EQ(key->ValueNames(), names);
    TRegistryData untouched { 7, "kept" };
    EXPECT_EQ(key->ReadValue("Absent", untouched), TRegistryKey::ReadResult::Missing);
}

TEST_F(UserRegistry, NamesIgnoreCaseAndKeepTheirSpellingAndPlace)
{
    Written({ { "TfrmMain", "1" }, { "Other", "2" }, { "TFRMMAIN", "3" } });
    EXPECT_EQ(Text(), Header + "[HKEY_CURRENT_USER\\Software\\SiteVault]\n\"TfrmMain\"=\"3\"\n\"Other\"=\"2\"\n");
    const std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForReading("SOFTWARE\\siteVAULT");
    ASSERT_TRUE(key);
    EXPECT_EQ(key->ValueNames(), (Names { "TfrmMain", "Other" }));
    EXPECT_EQ(Read(*key, "tfrmmain").bytes, StringBytes("3"));
}

TEST_F(UserRegistry, ChangesKeepEveryOtherKeyAndValueExactly)
{
    const std::string others = "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_CURRENT_USER\\Software\\Other]\n"
                               "\"Reopen0\"=\"theirs\"\n"
                               "\"Count\"=dword:00000010\n"
                               "\"Blob\"=hex:00,01,\\\n"
                               "  02\n"
                               "\n"
                               "; kept as it is\n";
    folder.Write("user-registry.reg",
        others
            + "[HKEY_CURRENT_USER\\Software\\SiteVault]\n"
              "\"Reopen0\"=\"old\"\n"
              "\"Reopen1\"=hex(1):61,00\n"
              "\"Kept\"=dword:00000001\n"
              "\"Placement\"=\"1 2\"\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Last]\n"
              "@=\"last\"");
    const std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForWriting(KeyPath);
    ASSERT_TRUE(key);
    key->DeleteValue("Reopen0");
    key->DeleteValue("Reopen2");
    EXPECT_TRUE(key->SetStringValue("Reopen1", "new"));
    EXPECT_TRUE(key->SetStringValue("Added", "v"));
    EXPECT_EQ(Text(),
        others
            + "[HKEY_CURRENT_USER\\Software\\SiteVault]\n"
              "\"Reopen1\"=\"new\"\n"
              "\"Kept\"=dword:00000001\n"
              "\"Placement\"=\"1 2\"\n"
              "\"Added\"=\"v\"\n"
              "\n"
              "[HKEY_CURRENT_USER\\Software\\Last]\n"
              "@=\"last\"");

    const std::unique_ptr<TRegistryKey> created = TRegistryKey::OpenForWriting("Software\\New");
    ASSERT_TRUE(created);
    EXPECT_TRUE(created->SetStringValue("Value", "x"));
    EXPECT_TRUE(Text().ends_with("@=\"last\"\n\n[HKEY_CURRENT_USER\\Software\\New]\n\"Value\"=\"x\"\n")) << Text();
}

TEST_F(UserRegistry, AddingAKeyKeepsALastLineThatEndsInABareCarriageReturn)
{
    const std::string before = Header + "[HKEY_CURRENT_USER\\Software\\Other]\n\"Kept\"=\"1\"\n; note\r";
    folder.Write("user-registry.reg", before);
    const std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForWriting(KeyPath);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->SetStringValue("Value", "x"));
    EXPECT_EQ(Text(), before + "\r\n\n[HKEY_CURRENT_USER\\Software\\SiteVault]\n\"Value\"=\"x\"\n");
}

TEST_F(UserRegistry, DeletingRemovesEveryValueOfTheName)
{
    folder.Write("user-registry.reg",
        Header + "[HKEY_CURRENT_USER\\Software\\SiteVault]\n\"Reopen0\"=\"a\"\n\"Other\"=\"b\"\n"
                 "\"REOPEN0\"=hex(1):\\\n  62,00\n");
    const std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForWriting(KeyPath);
    ASSERT_TRUE(key);
    key->DeleteValue("reopen0");
    EXPECT_EQ(Text(), Header + "[HKEY_CURRENT_USER\\Software\\SiteVault]\n\"Other\"=\"b\"\n");
    TRegistryData data;
    EXPECT_EQ(key->ReadValue("Reopen0", data), TRegistryKey::ReadResult::Missing);
}

TEST_F(UserRegistry, UnchangedContentIsNotRewritten)
{
    Written({ { "TfrmMain", "1" } });
    const ino_t original = StatusOf(File()).st_ino;
    const std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForWriting(KeyPath);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->SetStringValue("tfrmmain", "1"));
    key->DeleteValue("Reopen0");
    EXPECT_EQ(StatusOf(File()).st_ino, original);

    EXPECT_TRUE(key->SetStringValue("TfrmMain", "2"));
    EXPECT_NE(StatusOf(File()).st_ino, original) << "a change replaces the file";
    EXPECT_EQ(folder.EntryCount(), 1u) << "no temporary file is left";
}

TEST_F(UserRegistry, SameDataInAnotherFormIsLeftAsStored)
{
    const std::string text = Header + "[HKEY_CURRENT_USER\\Software\\SiteVault]\n\"TfrmMain\"=hex(1):31,\\\n  00\n";
    folder.Write("user-registry.reg", text);
    const ino_t original = StatusOf(File()).st_ino;
    const std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForWriting(KeyPath);
    ASSERT_TRUE(key);
    EXPECT_TRUE(key->SetStringValue("TfrmMain", "1"));
    EXPECT_EQ(StatusOf(File()).st_ino, original);
    EXPECT_EQ(Text(), text);
}

TEST_F(UserRegistry, AbsentFileOrKeyOpensNothingForReading)
{
    EXPECT_FALSE(TRegistryKey::OpenForReading(KeyPath));
    EXPECT_EQ(folder.EntryCount(), 0u) << "reading creates no file";
    folder.Write("user-registry.reg", Header + "[HKEY_CURRENT_USER\\Software\\Other]\n");
    EXPECT_FALSE(TRegistryKey::OpenForReading(KeyPath));
    EXPECT_FALSE(TRegistryKey::OpenForReading("Software"));

    ASSERT_TRUE(TRegistryKey::OpenForWriting(KeyPath));
    const std::unique_ptr<TRegistryKey> key = TRegistryKey::OpenForReading(KeyPath);
    ASSERT_TRUE(key) << "a created key exists at once";
    EXPECT_EQ(key->ValueNames(), Names {});
}

TEST_F(UserRegistry, DefaultFileLivesInTheUsersConfigurationFolder)
{
    struct Case {
        std::optional<std::string> configHome;
        std::string home;
        std::string madeFolder;
    };
    const Case cases[] = {
        { folder.File("config"), folder.File("home1"), folder.File("config") },
        { std::nullopt, folder.File("home2"), folder.File("home2/.config") },
        { "relative/is/ignored", folder.File("home3"), folder.File("home3/.config") },
    };
    for (const Case& c : cases) {
        const TEnvironmentVariable configHome("XDG_CONFIG_HOME", c.configHome);
        const TEnvironmentVariable home("HOME", c.home);
        PointUserRegistryAt(std::nullopt);
        ASSERT_TRUE(TRegistryKey::OpenForWriting(KeyPath));
        const std::string file = c.madeFolder + "/sitevault/user-registry.reg";
        EXPECT_EQ(StatusOf(c.madeFolder).st_mode & 07777, 0700u) << c.madeFolder;
        EXPECT_EQ(StatusOf(c.madeFolder + "/sitevault").st_mode & 07777, 0700u);
        EXPECT_EQ(StatusOf(file).st_mode & 07777, 0600u);
        EXPECT_TRUE(TRegistryKey::OpenForReading(KeyPath));
    }
}

TEST_F(UserRegistry, UnparsableFileIsNeitherReadNorOverwritten)
{
    const std::string key = "[HKEY_CURRENT_USER\\Software\\SiteVault]\n";
    const std::string contents[] = {
        "",
        "REGEDIT4\n\n" + key,
        std::string("\xFF\xFEW\0i\0n\0", 8),
        Header + "\"Before\"=\"any key\"\n" + key,
        Header + "[HKEY_LOCAL_MACHINE\\Software\\SiteVault]\n",
        Header + "[-HKEY_CURRENT_USER\\Software\\SiteVault]\n",
        Header + "[HKEY_CURRENT_USERS\\Software\\SiteVault]\n",
        Header + "[HKEY_CURRENT_USER\\Software\\SiteVault\n",
        Header + key + "\"Open\"=\"no end\n",
        Header + key + "\"Escape\"=\"\\n\"\n",
        Header + key + "\"Deleted\"=-\n",
        Header + key + "Unquoted=\"x\"\n",
        Header + key + "\"Trailing\"=\"x\" y\n",
        Header + key + "\"Number\"=dword:000000001\n",
        Header + key + "\"Number\"=dword:\n",
        Header + key + "\"Bytes\"=hex:1g\n",
        Header + key + "\"Bytes\"=hex:01,,02\n",
        Header + key + "\"Bytes\"=hex:123\n",
        Header + key + "\"Bytes\"=hex(2:01\n",
        Header + key + "\"Bytes\"=hex:01,\\\n",
        Header + key + "\"Bytes\"=hex:01,\\\n  \"Next\"=\"x\"\n",
    };
    for (const std::string& content : contents) {
        folder.Write("user-registry.reg", content);
        EXPECT_FALSE(TRegistryKey::OpenForReading(KeyPath)) << testing::PrintToString(content);
        EXPECT_FALSE(TRegistryKey::OpenForWriting(KeyPath)) << testing::PrintToString(content);
        EXPECT_EQ(Text(), content);
    }
}

TEST_F(UserRegistry, AFileSpoiledWhileOpenFailsReadsAndRefusesWrites)
{
    const std::unique_ptr<TRegistryKey> key = Written({ { "TfrmMain", "1" } });
    ASSERT_TRUE(key);
    folder.Write("user-registry.reg", "spoiled");
    TRegistryData data;
    EXPECT_EQ(key->ReadValue("TfrmMain", data), TRegistryKey::ReadResult::Failed);
    EXPECT_EQ(key->ValueNames(), Names {});
    EXPECT_FALSE(key->SetStringValue("TfrmMain", "2"));
    key->DeleteValue("TfrmMain");
    EXPECT_EQ(Text(), "spoiled");
}

TEST_F(UserRegistry, ReadOnlyFileOrFolderOpensNothingForWriting)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write anywhere";
    Written({ { "TfrmMain", "1" } });
    const std::string before = Text();
    ASSERT_EQ(::chmod(File().c_str(), 0400), 0);
    EXPECT_FALSE(TRegistryKey::OpenForWriting(KeyPath));
    EXPECT_TRUE(TRegistryKey::OpenForReading(KeyPath));

    const std::string locked = folder.File("locked");
    ASSERT_EQ(::mkdir(locked.c_str(), 0700), 0);
    PointUserRegistryAt(locked + "/user-registry.reg");
    Written({ { "TfrmMain", "1" } });
    ASSERT_EQ(::chmod(locked.c_str(), 0500), 0);
    EXPECT_FALSE(TRegistryKey::OpenForWriting(KeyPath)) << "the file could not be replaced";
    ::chmod(locked.c_str(), 0700);
    EXPECT_EQ(Text(), before);
}

TEST_F(UserRegistry, RefusedWritesChangeNothing)
{
    folder.Write("plain.txt", "not a folder");
    PointUserRegistryAt(folder.File("plain.txt/sub/user-registry.reg"));
    EXPECT_FALSE(TRegistryKey::OpenForWriting(KeyPath)) << "no folder can be made under a file";
    PointUserRegistryAt(File());

    const std::unique_ptr<TRegistryKey> key = Written({ { "TfrmMain", "1" } });
    ASSERT_TRUE(key);
    const std::string before = Text();
    EXPECT_FALSE(key->SetStringValue("Two\nLines", "x")) << "a name the file cannot hold";

    rlimit original {};
    ::getrlimit(RLIMIT_FSIZE, &original);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = original;
    limited.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &limited);
    const bool written = key->SetStringValue("Huge", std::string(10000, 'x'));
    ::setrlimit(RLIMIT_FSIZE, &original);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(Text(), before);
    EXPECT_EQ(folder.EntryCount(), 2u) << "the temporary file is removed";
}

} // namespace
