#include "model/CollatedSort.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

struct TNamed {
    std::string name;
    int arrival;
};

std::string_view NameOf(const TNamed& item)
{
    return item.name;
}

TEST(CollatedSort, SortsStablyByTheLocaleIgnoringCaseAcrossEveryPiece)
{
    // Enough items for several pieces, names repeating in every letter case.
    static const char* const names[] = { "bank", "Bank", "BANK", "mail", "\xC3\xA9t\xC3\xA9", "zoo", "Ab", "ab c" };
    std::mt19937 random(7);
    std::vector<TNamed> items;
    for (int i = 0; i < 70000; ++i)
        items.push_back({ names[random() % 8], i });
    SortCollated(items, NameOf, TKeepArrivalOrder());
    for (std::size_t i = 1; i < items.size(); ++i) {
        const int byLocale = CompareCollated(
            TCollatedText::WithoutHead(items[i - 1].name), TCollatedText::WithoutHead(items[i].name));
        ASSERT_LE(byLocale, 0) << i;
        if (byLocale == 0) {
            ASSERT_LT(items[i - 1].arrival, items[i].arrival) << "equal names keep their arrival order";
        }
    }
}

TEST(CollatedSort, MergeKeepsHeldItemsFirstAmongEqualsAndTellsWhereTheyWent)
{
    std::vector<TNamed> items { { "alpha", 0 }, { "Mail", 1 }, { "zoo", 2 } };
    const std::vector<int> rowsNow
        = MergeCollated(items, { { "mail", 3 }, { "Beta", 4 }, { "ALPHA", 5 }, { "zz", 6 } }, NameOf, TKeepArrivalOrder());
    std::vector<int> order;
    for (const TNamed& item : items)
        order.push_back(item.arrival);
    EXPECT_EQ(order, (std::vector<int> { 0, 5, 4, 1, 3, 2, 6 }));
    EXPECT_EQ(rowsNow, (std::vector<int> { 0, 3, 5 }));

    std::vector<TNamed> empty;
    EXPECT_TRUE(MergeCollated(empty, { { "b", 0 }, { "a", 1 } }, NameOf, TKeepArrivalOrder()).empty());
    EXPECT_EQ(empty.front().name, "a");
}

} // namespace
