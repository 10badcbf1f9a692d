#include "settings/PlacementText.h"

#include <gtest/gtest.h>

namespace {

TEST(PlacementText, FormatsTopBeforeLeftAndHeightBeforeWidth)
{
    EXPECT_EQ(FormatPlacement(TPlacementState::Normal, { 251, 147, 589, 518 }), "0 147 251 518 589");
    EXPECT_EQ(FormatPlacement(TPlacementState::Minimised, { -5, 10, 300, 200 }), "1 10 -5 200 300");
    EXPECT_EQ(FormatPlacement(TPlacementState::Maximised, { 251, 147, 589, 518 }), "2");
}

TEST(PlacementText, ReadsWordsSeparatedBySpacesOnly)
{
    constexpr int M = MissingNumber;
    struct Case {
        const char* text;
        int state, top, left, height, width;
    };
    const Case cases[] = {
        { "0 147 251 518 589", 0, 147, 251, 518, 589 },
        { "0  147   251 518 589", 0, 147, 251, 518, 589 },
        { " 0 147 251 518 589 ", 0, 147, 251, 518, 589 },
        { "", 7, M, M, M, M },
        { "2", 2, M, M, M, M },
        { "0 -999 -999 -999 -999", 0, M, M, M, M },
        { "1 10 20", 1, 10, 20, M, M },
        { "0\t147 251", 7, 251, M, M, M },
        { "x 147 abc 518 5.5", 7, 147, M, 518, M },
        { "+1 -10 +20 30 40 extra", 1, -10, 20, 30, 40 },
        { "258 1 2 3 4", 2, 1, 2, 3, 4 },
        { "99999999999 1", 7, 1, M, M, M },
        { "-1 1", 255, 1, M, M, M },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const TPlacementWords words = ParsePlacement(c.text, 7);
        EXPECT_EQ(words.state, c.state);
        EXPECT_EQ(words.top, c.top);
        EXPECT_EQ(words.left, c.left);
        EXPECT_EQ(words.height, c.height);
        EXPECT_EQ(words.width, c.width);
    }
    EXPECT_FALSE(ParsePlacement("0 -999 -999 -999 -999", 0).HasBounds());
    EXPECT_TRUE(ParsePlacement("0 -999 -999 -999 1", 0).HasBounds());
}

TEST(PlacementText, FitsIntoTheWorkArea)
{
    const TScreenRect area { 0, 0, 1024, 768 };
    struct Case {
        TWindowBounds bounds;
        int left, top;
    };
    const Case cases[] = {
        { { 900, 100, 300, 200 }, 724, 100 },
        { { 724, 100, 300, 200 }, 724, 100 },
        { { -50, 100, 300, 200 }, 0, 100 },
        { { 50, 100, 1200, 200 }, -176, 100 },
        { { 100, -30, 300, 200 }, 100, 0 },
        { { 100, 700, 300, 200 }, 100, 568 },
        { { 2000, 2000, 300, 200 }, 724, 568 },
        { { -400, -400, 2000, 1000 }, -976, -232 },
    };
    for (const Case& c : cases) {
        const TWindowBounds fitted = FitIntoWorkArea(c.bounds, area);
        EXPECT_EQ(fitted.left, c.left) << c.bounds.left << "," << c.bounds.top;
        EXPECT_EQ(fitted.top, c.top) << c.bounds.left << "," << c.bounds.top;
        EXPECT_EQ(fitted.width, c.bounds.width);
        EXPECT_EQ(fitted.height, c.bounds.height);
    }
    const TScreenRect offset { 100, 50, 900, 650 };
    const TWindowBounds fitted = FitIntoWorkArea({ 0, 0, 200, 100 }, offset);
    EXPECT_EQ(fitted.left, 100);
    EXPECT_EQ(fitted.top, 50);
}

TEST(PlacementText, TheMonitorSharingMostOfTheWindowOrTheNearestGivesTheWorkArea)
{
    const std::vector<TScreenAreas> screens {
        { { 0, 0, 1024, 768 }, { 0, 0, 1024, 740 } },
        { { 1024, 0, 2944, 1080 }, { 1024, 30, 2944, 1080 } },
    };
    EXPECT_EQ(NearestWorkArea({ 100, 100, 300, 200 }, screens).bottom, 740);
    EXPECT_EQ(NearestWorkArea({ 1500, 100, 300, 200 }, screens).top, 30);
    EXPECT_EQ(NearestWorkArea({ 900, 100, 300, 200 }, screens).left, 1024) << "more of it on the second";
    EXPECT_EQ(NearestWorkArea({ 3500, 100, 300, 200 }, screens).left, 1024) << "a monitor that is gone";
    EXPECT_EQ(NearestWorkArea({ -900, 100, 300, 200 }, screens).left, 0);
    const TScreenRect none = NearestWorkArea({ 5, 6, 7, 8 }, {});
    EXPECT_EQ(none.left, 5);
    EXPECT_EQ(none.bottom, 14);
}

} // namespace
