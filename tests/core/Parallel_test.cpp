#include "model/Parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>

namespace {

TEST(Parallel, PiecesCoverTheRangeOnce)
{
    for (const std::size_t count : { std::size_t { 0 }, std::size_t { 5 }, std::size_t { 100000 } }) {
        SCOPED_TRACE(count);
        const std::vector<std::size_t> bounds = PieceBounds(count, 1000);
        ASSERT_GE(bounds.size(), 2u);
        EXPECT_EQ(bounds.front(), 0u);
        EXPECT_EQ(bounds.back(), count);
        EXPECT_LE(bounds.size() - 1, ProcessorCount());
        if (count < 2000) {
            EXPECT_EQ(bounds.size(), 2u) << "small counts stay whole";
        }
        std::vector<std::atomic<int>> visits(count);
        ForEachPiece(bounds, [&](std::size_t begin, std::size_t end) {
            for (std::size_t i = begin; i < end; ++i)
                ++visits[i];
        });
        for (std::size_t i = 0; i < count; ++i)
            ASSERT_EQ(visits[i], 1) << i;
    }
}

TEST(Parallel, AFailingPieceRaisesOnceEveryPieceHasEnded)
{
    const std::vector<std::size_t> bounds = PieceBounds(100000, 1);
    std::atomic<std::size_t> ended = 0;
    EXPECT_THROW(ForEachPiece(bounds,
                     [&](std::size_t begin, std::size_t) {
                         ++ended;
                         if (begin != 0 || bounds.size() == 2)
                             throw std::runtime_error("piece failed");
                     }),
        std::runtime_error);
    EXPECT_EQ(ended, bounds.size() - 1);
}

} // namespace
