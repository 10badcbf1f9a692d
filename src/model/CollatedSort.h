#pragma once

#include "model/CollatedText.h"
#include "model/Parallel.h"

#include <algorithm>
#include <atomic>
#include <iterator>
#include <vector>

// The one engine that puts texts in the locale's order ignoring case, shared by the
// site list and the sorted views of the windows. Items carry a TCollatedText that
// KeyOf(item) hands out by reference; Precedes(a, b) is the strict order of two items.

// Sorts Items stably. Items already in order, as every saved archive's lines are,
// are found so by comparing neighbours on all processors without sort keys; others
// get the heads of their sort keys and are sorted a piece per processor, the pieces
// then merged.
template <typename Item, typename KeyOf, typename Precedes>
void SortCollated(std::vector<Item>& items, const KeyOf& keyOf, const Precedes& precedes)
{
    constexpr std::size_t smallestPiece = 1 << 14;
    const std::vector<std::size_t> pieces = PieceBounds(items.size(), smallestPiece);
    std::atomic<bool> inOrder = true;
    ForEachPiece(pieces, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = std::max<std::size_t>(begin, 1); i < end && inOrder; ++i)
            if (precedes(items[i], items[i - 1]))
                inOrder = false;
    });
    if (inOrder)
        return;
    const auto at = [&](std::size_t index) { return items.begin() + static_cast<std::ptrdiff_t>(index); };
    ForEachPiece(pieces, [&](std::size_t begin, std::size_t end) {
        for (std::size_t i = begin; i < end; ++i) {
            TCollatedText& key = keyOf(items[i]);
            key = TCollatedText::WithHead(key.text);
        }
        std::stable_sort(at(begin), at(end), precedes);
    });
    for (std::size_t piece = 2; piece < pieces.size(); ++piece)
        std::inplace_merge(at(0), at(pieces[piece - 1]), at(pieces[piece]), precedes);
}

// Sorts Added and merges it into Items, which are in order; of equal items, those
// held before come first. Each added item finds its place by a binary search, so
// adding a few items to many costs few comparisons. Yields the row now of every
// item held before.
template <typename Item, typename KeyOf, typename Precedes>
std::vector<int> MergeCollated(std::vector<Item>& items, std::vector<Item> added, const KeyOf& keyOf,
    const Precedes& precedes)
{
    SortCollated(added, keyOf, precedes);
    if (items.empty()) {
        items = std::move(added);
        return {};
    }
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
