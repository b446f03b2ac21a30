#include "model/Pattern.h"
#include "model/Limits.h"

#include <gtest/gtest.h>

using namespace model;

TEST(Pattern, CreateBlankMakesWhiteCellsOfTheGivenCounts)
{
    Pattern p;
    CreateBlank(p, 24, 100);
    EXPECT_EQ(p.StitchCount, 24);
    EXPECT_EQ(p.RowCount, 100);
    ASSERT_EQ(p.Cells.size(), 2400u);
    for (TColor c : p.Cells)
        ASSERT_EQ(c, White);
    p.at(23, 99) = 5;
    EXPECT_EQ(p.Cells[23 + 99 * 24], 5u);
}

TEST(Pattern, CreateBlankOutsideTheLimitsLeavesThePatternAlone)
{
    Pattern p;
    CreateBlank(p, 3, 2);
    p.at(1, 1) = 7;
    const Pattern before = p;
    for (auto [s, r] :
        { std::pair { 0, 5 }, { 5, 0 }, { -1, 5 }, { int(MaxCount) + 1, 1 }, { 1, int(MaxCount) + 1 }, { 8193, 8192 } })
        EXPECT_EQ(CreateBlank(p, s, r).failure().kind, Failure::Kind::TooLarge) << s << " x " << r;
    EXPECT_EQ(p, before);
}

TEST(Pattern, LimitsAllowTheLargestPatterns)
{
    EXPECT_TRUE(fitsLimits(1, 1));
    EXPECT_TRUE(fitsLimits(MaxCount, 64));
    EXPECT_TRUE(fitsLimits(64, MaxCount));
    EXPECT_TRUE(fitsLimits(8192, 8192));
    EXPECT_FALSE(fitsLimits(MaxCount, 65));
    EXPECT_FALSE(fitsLimits(MaxCount * 2, 1));
}

TEST(Pattern, DiscardReleasesTheCellsAndKeepsTheCounts)
{
    Pattern p;
    CreateBlank(p, 1, 1);
    EXPECT_TRUE(p.exists());
    Discard(p);
    EXPECT_FALSE(p.exists());
    EXPECT_EQ(p.StitchCount, 1);
    EXPECT_EQ(p.Cells.capacity(), 0u);
}
