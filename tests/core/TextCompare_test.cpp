#include "platform/TextCompare.h"

#include <gtest/gtest.h>

namespace {

int Sign(int value)
{
    return (value > 0) - (value < 0);
}

TEST(TextCompare, IgnoresCaseButNotAccentsOrLetters)
{
    EXPECT_EQ(CompareTextIgnoreCase("Mail=Joe", "mail=joe"), 0);
    EXPECT_EQ(CompareTextIgnoreCase("\xC3\x89t\xC3\xA9", "\xC3\xA9T\xC3\x89"), 0);
    EXPECT_LT(CompareTextIgnoreCase("A=2", "b=1"), 0);
    EXPECT_GT(CompareTextIgnoreCase("b", "A"), 0);
    EXPECT_NE(CompareTextIgnoreCase("e", "\xC3\xA9"), 0);
}

TEST(TextCompare, SortKeysOrderAsTheComparisonAndPrefixesAreTheirHeads)
{
    const std::vector<std::string> texts { "", "a", "A", "ab", "Ab=1", "b", "\xC3\xA9", "e", "z", "10", "9",
        "=x", "\xFF\xFE", "\xC3", "a\xC3", "a b", "a\tb", std::string("a\0b", 3), "long shared prefix one",
        "Long Shared Prefix two" };
    for (const std::string& a : texts) {
        const std::string key = SortKeyPrefixIgnoreCase(a, 4096);
        EXPECT_EQ(key.find('\0'), std::string::npos);
        for (std::size_t length = 0; length <= 12; ++length)
            EXPECT_EQ(SortKeyPrefixIgnoreCase(a, length), key.substr(0, length));
        for (const std::string& b : texts) {
            EXPECT_EQ(Sign(key.compare(SortKeyPrefixIgnoreCase(b, 4096))), Sign(CompareTextIgnoreCase(a, b)))
                << testing::PrintToString(a) << " vs " << testing::PrintToString(b);
        }
    }
}

TEST(TextCompare, UpperCasesLikeTheAnsiRules)
{
    EXPECT_EQ(AnsiUpperCase("System"), "SYSTEM");
    EXPECT_EQ(AnsiUpperCase("\xC3\xA9t\xC3\xA9"), "\xC3\x89T\xC3\x89");
    EXPECT_EQ(AnsiUpperCase(""), "");
}

} // namespace
