#include "shell/CommandLine.h"

#include "TemporaryFolder.h"

#include <gtest/gtest.h>

namespace {

TEST(CommandLine, UseIniSwitch)
{
    for (const char* argument : { "-useini", "/UseIni", "-USEINI", "/useINI" })
        EXPECT_TRUE(IsUseIniSwitch(argument)) << argument;
    for (const char* argument : { "--useini", "-useini2", "useini", "-", "", "-use ini", "\\useini", "-useın" })
        EXPECT_FALSE(IsUseIniSwitch(argument)) << argument;
    EXPECT_TRUE(HasUseIniSwitch({ "a.zip", "/USEini" }));
    EXPECT_FALSE(HasUseIniSwitch({ "a.zip", "useini" }));
}

TEST(CommandLine, FileArgumentIsTheFirstExistingFile)
{
    TemporaryFolder folder;
    folder.Write("one.zip", "1");
    folder.Write("two.zip", "2");
    folder.Write("-useini", "a file named like the switch");
    const std::string one = folder.File("one.zip");
    const std::string two = folder.File("two.zip");

    EXPECT_EQ(FindFileArgument({ "-useini", folder.File("missing.zip"), two, one }), two);
    EXPECT_EQ(FindFileArgument({ folder.Path(), one }), one) << "a folder is not a file";
    EXPECT_EQ(FindFileArgument({ "-useini", "missing.zip" }), std::nullopt);
    EXPECT_EQ(FindFileArgument({}), std::nullopt);
}

} // namespace
