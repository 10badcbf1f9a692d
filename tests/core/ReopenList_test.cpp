#include "settings/ReopenList.h"

#include <gtest/gtest.h>

namespace {

TEST(ReopenList, NewPathsGoOnTopAndTheOldestDropsBeyondFive)
{
    TReopenList list;
    for (const char* path : { "a.zip", "b.zip", "c.zip", "d.zip", "e.zip" })
        AddReopenEntry(list, path);
    EXPECT_EQ(list, (TReopenList { "e.zip", "d.zip", "c.zip", "b.zip", "a.zip" }));
    AddReopenEntry(list, "f.zip");
    EXPECT_EQ(list, (TReopenList { "f.zip", "e.zip", "d.zip", "c.zip", "b.zip" }));
    AddReopenEntry(list, "c.zip");
    EXPECT_EQ(list, (TReopenList { "c.zip", "f.zip", "e.zip", "d.zip", "b.zip" }));
    AddReopenEntry(list, "");
    EXPECT_EQ(list.size(), 5u);
}

TEST(ReopenList, AMatchIsReplacedByThePathAsGivenThisTime)
{
    TReopenList list { "x.zip", "c:\\data\\A.ZIP", "C:\\xy.zip" };
    AddReopenEntry(list, "C:\\Data\\a.zip");
    EXPECT_EQ(list, (TReopenList { "C:\\Data\\a.zip", "x.zip", "C:\\xy.zip" }));
    AddReopenEntry(list, "C:\\x&y.zip");
    EXPECT_EQ(list, (TReopenList { "C:\\x&y.zip", "C:\\Data\\a.zip", "x.zip" }));
}

TEST(ReopenList, AcceleratorsAndCaseDoNotCount)
{
    const std::tuple<const char*, const char*, bool> cases[] = {
        { "C:\\x&y.zip", "C:\\xy.zip", true },
        { "a&&b.zip", "a&b.zip", false },
        { "a&&&b.zip", "a&&b.zip", true },
        { "a&&b.zip", "ab.zip", false },
        { "/home/Joe/Site.ZIP", "/home/joe/site.zip", true },
        { "/home/joe/s\xC3\xA9.zip", "/home/joe/se.zip", false },
        { "a.zip", "b.zip", false },
    };
    for (const auto& [a, b, match] : cases)
        EXPECT_EQ(ReopenPathsMatch(a, b), match) << a << " / " << b;
}

} // namespace
