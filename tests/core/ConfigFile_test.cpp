#include "settings/ConfigFile.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

std::string NameIn(const Lines& lines)
{
    return TConfigFile::Parse(lines).Value("SYSTEM", "Name");
}

TEST(ConfigFile, ReadsPairsOfItsSection)
{
    const TConfigFile config = TConfigFile::Parse({ "[SYSTEM]", "Name=Demo", "Version=1.0" });
    EXPECT_EQ(config.Value("SYSTEM", "Name"), "Demo");
    EXPECT_EQ(config.Value("SYSTEM", "Version"), "1.0");
    EXPECT_EQ(config.Value("SYSTEM", "Copyright"), "");
    EXPECT_EQ(config.Value("OTHER", "Name"), "");
}

TEST(ConfigFile, ParsingRules)
{
    struct Case {
        Lines lines;
        const char* name;
    };
    const Case cases[] = {
        { { "[system]", "NAME=x" }, "x" },
        { { "[SYSTEM]", " Name =  x " }, "x" },
        { { " \t[ SYSTEM ]\x01", "\x02Name=x" }, "x" },
        { { "[SYSTEM]", "Name=first", "[SYSTEM]", "Name=second" }, "second" },
        { { "[SYSTEM]", "Name=first", "Name=second" }, "second" },
        { { "[SYSTEM]", "Name=kept", "[SYSTEM]" }, "" },
        { { "[SYSTEM]", "Name=kept", "[OTHER]", "Name=other" }, "kept" },
        { { "[SYSTEM]", ";Name=x" }, "" },
        { { "Name=x", "[SYSTEM]" }, "" },
        { { "[SYSTEM]", "Name" }, "" },
        { { "[SYSTEM]", "Name=a=b" }, "a=b" },
        { { "[SYSTEM]", "Name=" }, "" },
        { { "[SYSTEM]", "=x", "Name=y" }, "y" },
        { { "[SYSTEM", "Name=x" }, "" },
        { { "[SYSTEM]", "", "   ", "Name=x" }, "x" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(NameIn(c.lines), c.name) << testing::PrintToString(c.lines);
}

TEST(ConfigFile, MatchesNamesAfterUpperCasingBeyondAscii)
{
    const TConfigFile config = TConfigFile::Parse({ "[\xC3\xA9t\xC3\xA9]", "cl\xC3\xA9=v" });
    EXPECT_EQ(config.Value("\xC3\x89T\xC3\x89", "CL\xC3\x89"), "v");
}

TEST(ConfigFile, HostileContentParses)
{
    const std::string huge(2 * 1024 * 1024, '[');
    const TConfigFile config = TConfigFile::Parse({
        huge, "[SYSTEM]", std::string("Na\0me=\xFF\x80", 8), "[" + huge + "]", huge + "=" + huge,
        "[SYSTEM]", "\xFF\xFE\xFD", "Name=\x80\x81" });
    EXPECT_EQ(config.Value("SYSTEM", "Name"), "\x80\x81");
    EXPECT_EQ(config.Value("SYSTEM", std::string("Na\0me", 5)), "");
}

} // namespace
