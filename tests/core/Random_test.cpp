#include "model/Random.h"

#include <gtest/gtest.h>

#include <set>

namespace {

class DeterministicRandom : public testing::Test {
protected:
    void SetUp() override { SelectRandomSource(RandomSource::Deterministic); }
    void TearDown() override { SelectRandomSource(RandomSource::System); }
};

TEST_F(DeterministicRandom, FirstDrawFromZero)
{
    SetRandomState(0);
    EXPECT_EQ(RandomInt(10), 0u);
    EXPECT_EQ(RandomState(), 1u);
}

TEST_F(DeterministicRandom, EveryCallDrawsOnceAndTakesTheUpperBitsOfTheProduct)
{
    SetRandomState(1);
    EXPECT_EQ(RandomInt(0), 0u);
    EXPECT_EQ(RandomState(), 134775814u);
    // 134775814 * 134775813 + 1 modulo 2^32
    const std::uint32_t next = 134775814u * 134775813u + 1u;
    EXPECT_EQ(RandomInt(1000), static_cast<std::uint32_t>((static_cast<std::uint64_t>(next) * 1000) >> 32));
    EXPECT_EQ(RandomState(), next);

    SetRandomState(0xFFFFFFFFu);
    const std::uint32_t wrapped = 0xFFFFFFFFu * 134775813u + 1u;
    EXPECT_EQ(RandomInt(0xFFFFFFFFu), static_cast<std::uint32_t>((static_cast<std::uint64_t>(wrapped) * 0xFFFFFFFFu) >> 32));
}

TEST_F(DeterministicRandom, SameStateGivesSameSequence)
{
    SetRandomState(42);
    std::vector<std::uint32_t> first;
    for (int i = 0; i < 20; ++i)
        first.push_back(RandomInt(94));
    SetRandomState(42);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(RandomInt(94), first[static_cast<std::size_t>(i)]);
}

TEST(SystemRandom, DrawsStayBelowTheBoundAndVary)
{
    SelectRandomSource(RandomSource::System);
    SetRandomState(0);
    std::set<std::uint32_t> seen;
    for (int i = 0; i < 200; ++i) {
        const std::uint32_t value = RandomInt(1000000);
        EXPECT_LT(value, 1000000u);
        seen.insert(value);
    }
    EXPECT_GT(seen.size(), 150u);
    EXPECT_EQ(RandomInt(0), 0u);
    EXPECT_EQ(RandomState(), 0u) << "the system source must not use the seeded generator";
}

} // namespace
