#include "model/brmPW.h"

#include "platform/AppError.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

namespace {

std::vector<std::string> LinesOf(const TbrmPwList& list)
{
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.emplace_back(list.Strings(i));
    return lines;
}

std::vector<std::string> Loaded(const std::string& text)
{
    TbrmPwList list;
    TMemoryStream stream(text);
    list.LoadFromStream(stream);
    return LinesOf(list);
}

std::string Saved(const TbrmPwList& list)
{
    TMemoryStream stream;
    list.SaveToStream(stream);
    return stream.Bytes();
}

using Lines = std::vector<std::string>;

TEST(SiteList, AddKeepsCaseInsensitiveOrderAndYieldsTheIndex)
{
    TbrmPwList list;
    EXPECT_EQ(list.Add("b=1"), 0);
    EXPECT_EQ(list.Add("A=2"), 0);
    EXPECT_EQ(list.Add("c=3"), 2);
    EXPECT_EQ(list.Add("B=0"), 1);
    EXPECT_EQ(LinesOf(list), (Lines { "A=2", "B=0", "b=1", "c=3" }));
}

TEST(SiteList, OnlyByteIdenticalLinesAreDuplicates)
{
    TbrmPwList list;
    list.Add("Mail=joe\tSecret\t\t");
    list.Add("Zoo=x\t\t\t");
    EXPECT_EQ(list.Add("Mail=joe\tSecret\t\t"), 0);
    EXPECT_EQ(list.Count(), 2);

    // Two accounts whose passwords differ only in case are two sites.
    const int index = list.Add("Mail=joe\tsecret\t\t");
    EXPECT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Strings(index), "Mail=joe\tsecret\t\t");
    EXPECT_EQ(list.Add("Mail=joe\tsecret\t\t"), index);
    EXPECT_EQ(list.Count(), 3);
}

TEST(SiteList, LoadingAgreesWithAddingAndKeepsCaseVariants)
{
    const Lines lines { "b=1", "B=1", "a=2", "b=1", "", "A=2", "\xC3\xA9=3", "e=3", "f=3", "" };
    TbrmPwList added;
    for (const std::string& line : lines)
        added.Add(line);
    std::string text;
    for (const std::string& line : lines)
        text += line + "\n";
    EXPECT_EQ(Loaded(text), LinesOf(added));
    EXPECT_EQ(added.Count(), 8);
}

TEST(SiteList, SavesEveryLineWithCrLfAndLoadsItBack)
{
    TbrmPwList list;
    list.Add("Mail=joe\tpw\t\t");
    list.Add("Bank=ann\t\t\tnotes\\n");
    const std::string text = Saved(list);
    EXPECT_EQ(text, "Bank=ann\t\t\tnotes\\n\r\nMail=joe\tpw\t\t\r\n");
    EXPECT_EQ(Loaded(text), LinesOf(list));

    TbrmPwList empty;
    EXPECT_EQ(Saved(empty), "");
}

TEST(SiteList, SplitsLinesAtCrLfAndCrLfAndStopsAtNul)
{
    struct Case {
        std::string text;
        Lines lines;
    };
    const Case cases[] = {
        { "", {} },
        { "x", { "x" } },
        { "x\n\ny", { "", "x", "y" } },
        { "b\rA\r\nc\n", { "A", "b", "c" } },
        { "b\r\r\na", { "", "a", "b" } },
        { "\n", { "" } },
        { std::string("b\na\0z\nzz", 9), { "a", "b" } },
        { std::string("\0x", 2), {} },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Loaded(c.text), c.lines) << testing::PrintToString(c.text);
}

TEST(SiteList, LoadsFromTheStreamPositionAndReplacesTheContent)
{
    TbrmPwList list;
    list.Add("old=1");
    TMemoryStream stream("skip\r\nkeep\r\n");
    stream.SetPosition(6);
    list.LoadFromStream(stream);
    EXPECT_EQ(LinesOf(list), (Lines { "keep" }));
}

TEST(SiteList, HostileBytesLoadAsLines)
{
    std::string text(3 * 1024 * 1024, 'q');
    text += "\n\xFF\xFE\x80\x81=\xC3\n\x01\x02\x7F\n";
    const Lines lines = Loaded(text);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_NE(std::find(lines.begin(), lines.end(), "\xFF\xFE\x80\x81=\xC3"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "\x01\x02\x7F"), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), std::string(3 * 1024 * 1024, 'q')), lines.end());
}

TEST(SiteList, AnyBytesLoadAndSaveStably)
{
    std::mt19937 generator(11);
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 100; ++round) {
        std::string text(static_cast<std::size_t>(byte(generator)) * 20, '\0');
        for (char& b : text)
            b = static_cast<char>(byte(generator) % 4 == 0 ? "\r\n=\t"[byte(generator) % 4] : byte(generator));
        TbrmPwList list;
        TMemoryStream stream(text);
        list.LoadFromStream(stream);
        const std::string saved = Saved(list);
        TbrmPwList reloaded;
        TMemoryStream again(saved);
        reloaded.LoadFromStream(again);
        EXPECT_EQ(LinesOf(reloaded), LinesOf(list));
        EXPECT_EQ(Saved(reloaded), saved);

        std::vector<std::string> shuffled = LinesOf(list);
        std::shuffle(shuffled.begin(), shuffled.end(), generator);
        TbrmPwList added;
        for (const std::string& line : shuffled)
            added.Add(line);
        EXPECT_EQ(LinesOf(added), LinesOf(list));
    }
}

TEST(SiteList, RandomOrderLoadsAsTheSortedOrder)
{
    Lines lines;
    for (int i = 0; i < 2000; ++i)
        lines.push_back((i % 3 == 0 ? "Site" : "site") + std::to_string(i % 700) + "=u" + std::to_string(i));
    std::string text;
    for (const std::string& line : lines)
        text += line + "\r\n";
    const Lines sorted = Loaded(text);
    std::shuffle(lines.begin(), lines.end(), std::mt19937(7));
    text.clear();
    for (const std::string& line : lines)
        text += line + "\r\n";
    EXPECT_EQ(Loaded(text), sorted);
    EXPECT_EQ(sorted.size(), 2000u);
}

TEST(SiteList, TextAlreadyInOrderLoadsAsAnyOtherAndTakesAdds)
{
    const Lines inOrder { "", "a=2", "A=2", "b=1", "B=1", "B=1", "\xC3\xA9=3", "e=3" };
    const Lines added { "0=x", "A=1", "b=0", "\xC3\x89=3", "zz=9", "a=2" };
    std::string text;
    for (const std::string& line : inOrder)
        text += line + "\r\n";
    TbrmPwList list;
    list.LoadFromText(text);
    TbrmPwList reference;
    for (const std::string& line : inOrder)
        reference.Add(line);
    EXPECT_EQ(LinesOf(list), LinesOf(reference));
    for (const std::string& line : added)
        EXPECT_EQ(list.Add(line), reference.Add(line)) << line;
    EXPECT_EQ(LinesOf(list), LinesOf(reference));
}

// Enough lines to be cut into pieces for several processors, in order, shuffled,
// and in order but for the last line.
TEST(SiteList, LongTextsLoadInTheOrderOfAdding)
{
    Lines lines;
    for (int i = 0; i < 70000; ++i)
        lines.push_back((i % 2 == 0 ? "Site " : "site ") + std::to_string(i % 30011) + "=u" + std::to_string(i % 7));
    TbrmPwList reference;
    for (const std::string& line : lines)
        reference.Add(line);
    Lines sorted = LinesOf(reference);
    Lines shuffled = sorted;
    std::shuffle(shuffled.begin(), shuffled.end(), std::mt19937(11));
    Lines lastOutOfOrder = sorted;
    std::rotate(lastOutOfOrder.begin(), lastOutOfOrder.begin() + 1, lastOutOfOrder.end());
    for (const Lines* order : { &sorted, &shuffled, &lastOutOfOrder }) {
        std::string text;
        for (const std::string& line : *order)
            text += line + "\n";
        EXPECT_EQ(Loaded(text), sorted);
    }
}

TEST(SiteList, RecordsFillsTheScratchRecord)
{
    TbrmPwList list;
    list.Add("Mail=joe\tpw\thttp://m\tn");
    list.Add("Bank=ann\t\t\t");
    TbrmPwRec& first = list.Records(0);
    EXPECT_EQ(first.SiteName(), "Bank");
    TbrmPwRec& second = list.Records(1);
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(second.URL(), "http://m");
    second.SetSiteName("changed");
    EXPECT_EQ(list.Strings(1), "Mail=joe\tpw\thttp://m\tn");
}

TEST(SiteList, RecordsOutOfBoundsFailsAndLeavesTheScratchRecord)
{
    TbrmPwList list;
    try {
        list.Records(0);
        FAIL() << "no error raised";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "List index out of bounds (0)");
    }
    list.Add("Mail=joe\t\t\t");
    TbrmPwRec& scratch = list.Records(0);
    EXPECT_THROW(list.Records(1), AppError);
    EXPECT_THROW(list.Records(-1), AppError);
    EXPECT_EQ(scratch.SiteName(), "Mail");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(scratch.SiteName(), "Mail");
}

} // namespace

namespace {

// Lines drawn from a small stock, so case variants, shared names and exact repeats meet.
std::string RandomLine(std::mt19937& random)
{
    static const char* const names[] = { "bank", "Bank", "BANK", "bank 2", "mail", "Mail", "\xC3\xA9t\xC3\xA9", "zoo", "" };
    std::uniform_int_distribution<int> name(0, 8);
    std::uniform_int_distribution<int> user(0, 3);
    return std::string(names[name(random)]) + "=u" + std::to_string(user(random)) + "\tpw\t\t";
}

TEST(SiteList, WithChangesGivesWhatLoadingTheKeptAndAddedLinesGives)
{
    for (unsigned seed = 1; seed <= 40; ++seed) {
        std::mt19937 random(seed);
        std::string baseText;
        for (int i = 0; i < 60; ++i)
            baseText += RandomLine(random) + "\r\n";
        TbrmPwList base;
        base.LoadFromText(baseText);

        std::vector<bool> kept(static_cast<std::size_t>(base.Count()));
        std::string added;
        std::string expectedText;
        std::bernoulli_distribution keep(0.7);
        for (int i = 0; i < base.Count(); ++i) {
            kept[static_cast<std::size_t>(i)] = keep(random);
            if (kept[static_cast<std::size_t>(i)])
                expectedText.append(base.Strings(i)).append("\r\n");
        }
        for (int i = 0; i < static_cast<int>(seed % 12); ++i)
            added += RandomLine(random) + "\r\n";
        TbrmPwList expected;
        expected.LoadFromText(expectedText + added);

        const std::unique_ptr<TbrmPwList> changed = base.WithChanges(kept, added);
        EXPECT_EQ(Saved(*changed), Saved(expected)) << "seed " << seed;
    }
}

TEST(SiteList, WithChangesKeepsTheTextAliveAfterTheListIsGone)
{
    std::unique_ptr<TbrmPwList> changed;
    {
        TbrmPwList base;
        base.LoadFromText("b=2\r\na=1\r\n");
        changed = base.WithChanges({ true, false }, "c=3\r\n");
    }
    EXPECT_EQ(LinesOf(*changed), (Lines { "a=1", "c=3" }));
    EXPECT_THROW(TbrmPwList().WithChanges({}, "").get()->Strings(0), std::exception);
}

} // namespace
