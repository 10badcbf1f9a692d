#pragma once

#include "model/CollatedText.h"
#include "model/Parallel.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <iterator>
#include <string_view>
#include <vector>

// The one engine that puts items in the locale's order ignoring case of a text of
// theirs, shared by the site list and the sorted views of the windows. TextOf(item)
// yields the text; Tie(a, b) orders items whose texts the locale counts as equal
// (a tie that never holds keeps them in the order they came). Items carry no sort
// key: keys are built only while sorting, so a sorted list costs no memory for them.

template <typename Item, typename TextOf, typename Tie>
bool CollatedPrecedes(const Item& a, const Item& b, const TextOf& textOf, const Tie& tie)
{
    const int byLocale
        = CompareCollated(TCollatedText::WithoutHead(textOf(a)), TCollatedText::WithoutHead(textOf(b)));
    return byLocale != 0 ? byLocale < 0 : tie(a, b);
}

// Sorts Items stably. Items already in order, as every saved archive's lines are,
// are found so by comparing neighbours on all processors; others are sorted by the
// heads of their sort keys, a piece per processor, the pieces then merged.
template <typename Item, typename TextOf, typename Tie>
void SortCollated(std::vector<Item>& items, const TextOf& textOf, const Tie& tie)
{
    constexpr std::size_t smallestPiece = 1 << 14;
    const std::vector<std::size_t> pieces = PieceBounds(items.size(), smallestPiece);
    std::atomic<bool> inOrder = true;
    ForEachPiece(pieces, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = std::max<std::size_t>(begin, 1); i < end && inOrder; ++i)
            if (CollatedPrecedes(items[i], items[i - 1], textOf, tie))
                inOrder = false;
    });
    if (inOrder)
        return;

    struct Keyed {
        TCollatedText key;
        std::size_t index;
    };
    const auto keyedPrecedes = [&](const Keyed& a, const Keyed& b) {
        const int byLocale = CompareCollated(a.key, b.key);
        return byLocale != 0 ? byLocale < 0 : tie(items[a.index], items[b.index]);
    };
    std::vector<Keyed> keyed(items.size());
    const auto at = [&](std::size_t index) { return keyed.begin() + static_cast<std::ptrdiff_t>(index); };
    ForEachPiece(pieces, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i)
            keyed[i] = { TCollatedText::WithHead(textOf(items[i])), i };
        std::stable_sort(at(begin), at(end), keyedPrecedes);
    });
    for (std::size_t piece = 2; piece < pieces.size(); ++piece)
        std::inplace_merge(at(0), at(pieces[piece - 1]), at(pieces[piece]), keyedPrecedes);
    std::vector<Item> sorted;
    sorted.reserve(items.size());
    for (const Keyed& entry : keyed)
        sorted.push_back(std::move(items[entry.index]));
    items = std::move(sorted);
}

// Sorts Added and merges it into Items, which are in order; of equal items, those
// held before come first. Each added item finds its place by a binary search, so
// adding a few items to many costs few comparisons. Yields the row now of every
// item held before.
template <typename Item, typename TextOf, typename Tie>
std::vector<int> MergeCollated(std::vector<Item>& items, std::vector<Item> added, const TextOf& textOf, const Tie& tie)
{
    SortCollated(added, textOf, tie);
    if (items.empty()) {
        items = std::move(added);
        return {};
    }
    const auto precedes = [&](const Item& a, const Item& b) { return CollatedPrecedes(a, b, textOf, tie); };
    std::vector<std::size_t> places(added.size());
    for (std::size_t i = 0; i < added.size(); ++i)
        places[i] = static_cast<std::size_t>(
            std::upper_bound(items.begin(), items.end(), added[i], precedes) - items.begin());
    std::vector<Item> merged;
    merged.reserve(items.size() + added.size());
    std::vector<int> rowsNow(items.size());
    std::size_t next = 0;
    for (std::size_t row = 0; row < items.size(); ++row) {
        for (; next < added.size() && places[next] == row; ++next)
            merged.push_back(std::move(added[next]));
        rowsNow[row] = static_cast<int>(merged.size());
        merged.push_back(std::move(items[row]));
    }
    std::move(added.begin() + static_cast<std::ptrdiff_t>(next), added.end(), std::back_inserter(merged));
    items = std::move(merged);
    return rowsNow;
}

// A tie that never holds: items the locale counts as equal keep their order.
struct TKeepArrivalOrder {
    template <typename Item>
    bool operator()(const Item&, const Item&) const { return false; }
};
