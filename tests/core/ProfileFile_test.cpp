#include "platform/ProfileFile.h"

#include "ScratchFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

using Names = std::vector<std::string>;

constexpr std::size_t ValueBufferSize = 2048;
constexpr std::size_t NamesBufferSize = 16384;

struct stat StatusOf(const std::string& path)
{
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return status;
}

class ProfileFile : public testing::Test {
protected:
    std::string Ini() const { return folder.File("state.ini"); }

    std::string Value(const std::string& section, const std::string& key) const
    {
        return ProfileString(Ini(), section, key, "default", ValueBufferSize);
    }

    ScratchFolder folder;
};

TEST_F(ProfileFile, ReadingRules)
{
    struct Case {
        const char* content;
        const char* section;
        const char* key;
        const char* value;
    };
    const Case cases[] = {
        { "[App]\nKey=v\n", "App", "Key", "v" },
        { "[aPP]\nkEY=v", "App", "KEY", "v" },
        { "[\xC3\xA9t\xC3\xA9]\ncl\xC3\xA9=v\n", "\xC3\x89T\xC3\x89", "CL\xC3\x89", "v" },
        { " \t[ App ]\t\n \tKey \t=\t v  w \t\n", "App", "Key", "v  w" },
        { "[App]\nKey=v\n", " App\t", " Key ", "v" },
        { "[App]\r\nKey=v\r\nOther=w\r\n", "App", "Key", "v" },
        { "[App]\nKey=\" v \"\n", "App", "Key", " v " },
        { "[App]\nKey=' v '\n", "App", "Key", " v " },
        { "[App]\nKey=\"\"\n", "App", "Key", "" },
        { "[App]\nKey=\"v'\n", "App", "Key", "\"v'" },
        { "[App]\nKey=\"\n", "App", "Key", "\"" },
        { "[App]\nKey=a \"b\"\n", "App", "Key", "a \"b\"" },
        { "[App]\nKey=a=b\n", "App", "Key", "a=b" },
        { "[App]\nKey=\n", "App", "Key", "" },
        { "[App]\nKey\n", "App", "Key", "default" },
        { "[App]\n;Key=comment\nKey=v\n", "App", "Key", "v" },
        { "[App]\n  ;Key=comment\n", "App", "Key", "default" },
        { "[App]\nKey=first\nkey=second\n", "App", "Key", "first" },
        { "[App]\nKey=first\n[APP]\nKey=second\n", "App", "Key", "first" },
        { "[App]\n[App]\nKey=second\n", "App", "Key", "default" },
        { "[Other]\nKey=x\n[App]\nKeyed=y\n", "App", "Key", "default" },
        { "Key=before any section\n[App]\n", "App", "Key", "default" },
        { "[AppX]\nKey=x\n", "App", "Key", "default" },
        { "[App\nKey=x\n", "App", "Key", "default" },
        { "[a]b]\nKey=v\n", "a]b", "Key", "v" },
        { "[App] ; a remark\nKey=v\n", "App", "Key", "v" },
        { "[]\nKey=v\n", "", "Key", "v" },
        { "[App]\n=nameless\nKey=v\n", "App", "Key", "v" },
        { "", "App", "Key", "default" },
    };
    for (const Case& c : cases) {
        folder.Write("state.ini", c.content);
        EXPECT_EQ(Value(c.section, c.key), c.value) << testing::PrintToString(std::string(c.content));
    }
}

TEST_F(ProfileFile, AbsentOrUnreadableFilesLoadNothing)
{
    EXPECT_EQ(Value("App", "Key"), "default");
    EXPECT_EQ(ProfileKeyNames(Ini(), "App", NamesBufferSize), Names {});
    EXPECT_EQ(folder.EntryCount(), 0u) << "reading creates no file";

    ASSERT_EQ(::mkdir(Ini().c_str(), 0700), 0);
    EXPECT_EQ(Value("App", "Key"), "default");
    EXPECT_EQ(ProfileKeyNames(Ini(), "App", NamesBufferSize), Names {});
    EXPECT_EQ(ProfileKeyNames(folder.File("state.ini/inner.ini"), "App", NamesBufferSize), Names {});
}

TEST_F(ProfileFile, ValuesAreCutToTheBuffer)
{
    struct Case {
        std::string stored;
        std::size_t bufferSize;
        std::string value;
    };
    const std::string long3000(3000, 'x');
    const Case cases[] = {
        { long3000, ValueBufferSize, std::string(2047, 'x') },
        { "\"" + long3000 + "\"", ValueBufferSize, std::string(2047, 'x') },
        { std::string(2047, 'y'), ValueBufferSize, std::string(2047, 'y') },
        { std::string(2048, 'y'), ValueBufferSize, std::string(2047, 'y') },
        { "abc", 1, "" },
        { "abc", 0, "" },
    };
    for (const Case& c : cases) {
        folder.Write("state.ini", "[App]\nKey=" + c.stored + "\n");
        EXPECT_EQ(ProfileString(Ini(), "App", "Key", "default", c.bufferSize), c.value)
            << c.stored.size() << " bytes into " << c.bufferSize;
    }
}

TEST_F(ProfileFile, DefaultGoesThroughTheBufferLessItsTrailingSpaces)
{
    EXPECT_EQ(ProfileString(Ini(), "App", "Key", " spaced  ", ValueBufferSize), " spaced");
    EXPECT_EQ(ProfileString(Ini(), "App", "Key", "abcdef", 4), "abc");
}

TEST_F(ProfileFile, KeyNamesOfTheFirstSectionInFileOrder)
{
    folder.Write("state.ini",
        "[Other]\nx=1\n[App]\n B \t= 1\n;comment=2\n\na=3\nNoValue\n=nameless\nb=4\n[Next]\ny=5\n[app]\nz=6\n");
    EXPECT_EQ(ProfileKeyNames(Ini(), "APP", NamesBufferSize), (Names { "B", "a", "NoValue", "b" }));
    EXPECT_EQ(ProfileKeyNames(Ini(), "Missing", NamesBufferSize), Names {});
}

TEST_F(ProfileFile, KeyNamesAreCutWhereTheBufferEnds)
{
    // Each name takes its length and a zero byte; one more zero byte ends the list.
    struct Case {
        std::size_t bufferSize;
        Names names;
    };
    const Case cases[] = {
        { 12, { "abcd", "efgh" } },
        { 11, { "abcd", "efgh" } },
        { 10, { "abcd", "efg" } },
        { 8, { "abcd", "e" } },
        { 7, { "abcd" } },
        { 6, { "abcd" } },
        { 5, { "abc" } },
        { 3, { "a" } },
        { 2, {} },
        { 0, {} },
    };
    folder.Write("state.ini", "[App]\nabcd=1\nefgh=2\n");
    for (const Case& c : cases)
        EXPECT_EQ(ProfileKeyNames(Ini(), "App", c.bufferSize), c.names) << c.bufferSize;
}

TEST_F(ProfileFile, KeyNamesBeyondTheStoresBufferAreNotListed)
{
    std::string content = "[App]\n";
    Names all;
    for (int i = 0; i < 2000; ++i) {
        all.push_back("Name" + std::to_string(1000 + i));
        content += all.back() + "=v\n";
    }
    folder.Write("state.ini", content);
    // 16383 bytes hold 1820 names of 8 bytes and their zeros, and two bytes of the next.
    Names expected(all.begin(), all.begin() + 1820);
    expected.push_back("Na");
    EXPECT_EQ(ProfileKeyNames(Ini(), "App", NamesBufferSize), expected);
}

TEST_F(ProfileFile, WritingEditsOnlyTheKeysLine)
{
    struct Case {
        const char* before;
        const char* section;
        const char* key;
        const char* value;
        const char* after;
    };
    const Case cases[] = {
        { "; settings\r\n[Other]\r\nKey=keep\r\n\r\n[App]\r\n  Key = old ; not a comment\r\nNext=1\r\n[Last]\r\nKey=x",
            "App", "Key", "new",
            "; settings\r\n[Other]\r\nKey=keep\r\n\r\n[App]\r\nKey=new\r\nNext=1\r\n[Last]\r\nKey=x" },
        { "[app]\nTFRMMAIN=old\n", "App", "TfrmMain", "new", "[app]\nTFRMMAIN=new\n" },
        { "[App]\nKey\n", "App", "Key", "v", "[App]\nKey=v\n" },
        { "[App]\nKey=1\nkey=2\n", "App", "KEY", "3", "[App]\nKey=3\nkey=2\n" },
        { "[App]\na=1\n\n; the next one\n[Next]\nb=2\n", "App", "New", "v",
            "[App]\na=1\nNew=v\n\n; the next one\n[Next]\nb=2\n" },
        { "[App]\n; only a remark\n\n[Next]\n", "App", "New", "v", "[App]\nNew=v\n; only a remark\n\n[Next]\n" },
        { "[App]\r\na=1", "App", "New", "v", "[App]\r\na=1\r\nNew=v" },
        { "[Other]\r\na=1\r\n", "App", "Key", "v", "[Other]\r\na=1\r\n\r\n[App]\r\nKey=v\r\n" },
        { "[Other]\na=1", "App", "Key", "v", "[Other]\na=1\n\n[App]\nKey=v\n" },
        { "[Other]\na=1\n\n", "App", "Key", "v", "[Other]\na=1\n\n[App]\nKey=v\n" },
        { "", " App ", " Key ", "v", "[App]\nKey=v\n" },
        { "[App]\nKey=old\n", "App", "Key", "a=b;c", "[App]\nKey=a=b;c\n" },
        { "[App]\nKey=old\n", "App", "Key", "", "[App]\nKey=\n" },
        { "[App]\nKey=old\n", "App", "Key", " padded\t", "[App]\nKey=\" padded\t\"\n" },
        { "[App]\nKey=old\n", "App", "Key", "'quoted'", "[App]\nKey=\"'quoted'\"\n" },
    };
    for (const Case& c : cases) {
        folder.Write("state.ini", c.before);
        EXPECT_TRUE(WriteProfileString(Ini(), c.section, c.key, c.value));
        EXPECT_EQ(folder.Read("state.ini"), c.after) << testing::PrintToString(std::string(c.before));
        EXPECT_EQ(folder.EntryCount(), 1u) << "no temporary file is left";
    }
}

// A last line may end in a bare CR, which is part of that line's value; a line end
// added after it must not join that CR into a CR LF.
TEST_F(ProfileFile, AppendingNeverChangesAnExistingLine)
{
    struct Case {
        const char* before;
        const char* section;
        const char* after;
    };
    const Case cases[] = {
        { "[App]\na=1\r", "App", "[App]\na=1\r\r\nNew=v" },
        { "[App]\r\na=1\r", "App", "[App]\r\na=1\r\r\nNew=v" },
        { "[App]\na=1\r", "Next", "[App]\na=1\r\r\n\n[Next]\nNew=v\n" },
        { "[App]\na=1\n;\r", "Next", "[App]\na=1\n;\r\r\n\n[Next]\nNew=v\n" },
    };
    for (const Case& c : cases) {
        folder.Write("state.ini", c.before);
        const std::string value = Value("App", "a");
        ASSERT_TRUE(WriteProfileString(Ini(), c.section, "New", "v"));
        EXPECT_EQ(folder.Read("state.ini"), c.after) << testing::PrintToString(std::string(c.before));
        EXPECT_EQ(Value("App", "a"), value) << testing::PrintToString(std::string(c.before));
        EXPECT_EQ(Value(c.section, "New"), "v");
    }
}

TEST_F(ProfileFile, ValuesReadBackAsWritten)
{
    const std::string values[] = { "0 147 251 518 589", "/home/user/My Sites.zip", " leading", "trailing ",
        "\t", "\"", "'", "\"both\"", "'single'", "\"mixed'", ";semicolon", "[bracket]", "a=b",
        "caf\xC3\xA9", "" };
    for (const std::string& value : values) {
        ASSERT_TRUE(WriteProfileString(Ini(), "App", "Key", value)) << value;
        EXPECT_EQ(ProfileString(Ini(), "App", "Key", "default", ValueBufferSize), value);
    }
    EXPECT_EQ(ProfileKeyNames(Ini(), "App", NamesBufferSize), Names { "Key" });
}

TEST_F(ProfileFile, NewFileIsReadableByOthersAndReplacedFilesKeepTheirMode)
{
    ASSERT_TRUE(WriteProfileString(Ini(), "App", "Key", "v"));
    EXPECT_EQ(folder.Read("state.ini"), "[App]\nKey=v\n");
    EXPECT_EQ(StatusOf(Ini()).st_mode & 07777, 0644u);

    ASSERT_EQ(::chmod(Ini().c_str(), 0600), 0);
    ASSERT_TRUE(WriteProfileString(Ini(), "App", "Key", "w"));
    EXPECT_EQ(StatusOf(Ini()).st_mode & 07777, 0600u);
}

TEST_F(ProfileFile, DeletingRemovesEveryLineOfTheKeyAndNothingElse)
{
    struct Case {
        const char* before;
        const char* key;
        const char* after;
    };
    const Case cases[] = {
        { "[App]\r\nReopen0=a\r\n; keep\r\nOther=b\r\n", "reopen0", "[App]\r\n; keep\r\nOther=b\r\n" },
        { "[App]\nReopen0=a\nreopen0=b\nOther=c\n", "Reopen0", "[App]\nOther=c\n" },
        { "[App]\nOther=c\nReopen0=a", "Reopen0", "[App]\nOther=c\n" },
        { "[App]\nOther=c\n[Next]\nReopen0=a\n", "Reopen0", "[App]\nOther=c\n[Next]\nReopen0=a\n" },
        { "[App]\n;Reopen0=a\nReopen01=b\n", "Reopen0", "[App]\n;Reopen0=a\nReopen01=b\n" },
        { "[Next]\nReopen0=a\n", "Reopen0", "[Next]\nReopen0=a\n" },
    };
    for (const Case& c : cases) {
        folder.Write("state.ini", c.before);
        DeleteProfileKey(Ini(), "App", c.key);
        EXPECT_EQ(folder.Read("state.ini"), c.after) << testing::PrintToString(std::string(c.before));
        EXPECT_EQ(ProfileString(Ini(), "App", c.key, "gone", ValueBufferSize), "gone");
    }
}

TEST_F(ProfileFile, DeletingFromAnAbsentFileCreatesNothing)
{
    DeleteProfileKey(Ini(), "App", "Reopen0");
    DeleteProfileKey(folder.File("missing/state.ini"), "App", "Reopen0");
    EXPECT_EQ(folder.EntryCount(), 0u);
}

TEST_F(ProfileFile, UnchangedContentIsNotRewritten)
{
    folder.Write("state.ini", "[App]\nKey = 'v'\nOther=w\n");
    const ino_t original = StatusOf(Ini()).st_ino;
    EXPECT_TRUE(WriteProfileString(Ini(), "app", "KEY", "v"));
    DeleteProfileKey(Ini(), "App", "Reopen0");
    DeleteProfileKey(Ini(), "Missing", "Key");
    EXPECT_EQ(StatusOf(Ini()).st_ino, original);
    EXPECT_EQ(folder.Read("state.ini"), "[App]\nKey = 'v'\nOther=w\n");

    EXPECT_TRUE(WriteProfileString(Ini(), "App", "Key", "changed"));
    EXPECT_NE(StatusOf(Ini()).st_ino, original) << "a change replaces the file";
}

TEST_F(ProfileFile, RefusedWritesReturnFalseAndLeaveEverythingAsItWas)
{
    folder.Write("plain.txt", "not a folder");
    for (const std::string& file : { folder.File("plain.txt/state.ini"), folder.File("missing/state.ini") }) {
        EXPECT_FALSE(WriteProfileString(file, "App", "Key", "v")) << file;
        DeleteProfileKey(file, "App", "Key");
    }
    ASSERT_EQ(::mkdir(Ini().c_str(), 0700), 0);
    EXPECT_FALSE(WriteProfileString(Ini(), "App", "Key", "v")) << "a folder in the file's place";
    EXPECT_EQ(folder.Read("plain.txt"), "not a folder");
    EXPECT_EQ(folder.EntryCount(), 2u);
}

TEST_F(ProfileFile, ReadOnlyFileOrFolderRefusesWrites)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write anywhere";
    folder.Write("state.ini", "[App]\nKey=old\n");
    ASSERT_EQ(::chmod(Ini().c_str(), 0444), 0);
    EXPECT_FALSE(WriteProfileString(Ini(), "App", "Key", "new"));
    DeleteProfileKey(Ini(), "App", "Key");
    EXPECT_EQ(folder.Read("state.ini"), "[App]\nKey=old\n");

    const std::string locked = folder.File("locked");
    ASSERT_EQ(::mkdir(locked.c_str(), 0555), 0);
    EXPECT_FALSE(WriteProfileString(locked + "/state.ini", "App", "Key", "v"));
    ::chmod(locked.c_str(), 0700);
}

TEST_F(ProfileFile, TextThatWouldNotReadBackIsRefused)
{
    struct Case {
        std::string section;
        std::string key;
        std::string value;
    };
    const Case cases[] = {
        { "App", "Key", "two\nlines" },
        { "App", "Key", "x\r\n[Injected]\r\nKey=y" },
        { "App", "Key", std::string("zero\0byte", 9) },
        { "App", "a=b", "v" },
        { "App", "", "v" },
        { "App", " \t", "v" },
        { "App", ";Key", "v" },
        { "App", "[Key]", "v" },
        { "A\npp", "Key", "v" },
    };
    folder.Write("state.ini", "[App]\nKey=old\n");
    for (const Case& c : cases)
        EXPECT_FALSE(WriteProfileString(Ini(), c.section, c.key, c.value)) << testing::PrintToString(c.value);
    EXPECT_EQ(folder.Read("state.ini"), "[App]\nKey=old\n");
}

} // namespace
