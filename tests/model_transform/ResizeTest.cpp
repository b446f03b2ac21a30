#include "model/Resize.h"
#include "Patterns.h"
#include "model/Limits.h"

#include <gtest/gtest.h>

using namespace model;
using testing_patterns::numbered;

namespace {

// Colour of stitch number `stitch` (1 at the left) in row number `row` (1 at the bottom).
TColor byNumbers(const Pattern &p, std::int32_t stitch, std::int32_t row)
{
    return p.at(stitch - 1, p.RowCount - row);
}

Pattern resized(const Pattern &old, std::int32_t stitches, std::int32_t rows, RowSide rowSide, StitchSide stitchSide)
{
    Outcome<Pattern> result = ResizePattern(old, stitches, rows, rowSide, stitchSide);
    EXPECT_TRUE(result.ok()) << stitches << " x " << rows;
    return result.ok() ? std::move(result.value()) : Pattern();
}

TEST(Resize, MoreRowsAtTheTopKeepTheRowNumbers)
{
    const Pattern old = numbered(24, 100);
    const Pattern p = resized(old, 24, 120, RowSide::Top, StitchSide::Right);
    ASSERT_EQ(p.RowCount, 120);
    for (std::int32_t stitch = 1; stitch <= 24; ++stitch) {
        for (std::int32_t row = 1; row <= 100; ++row)
            ASSERT_EQ(byNumbers(p, stitch, row), byNumbers(old, stitch, row));
        for (std::int32_t row = 101; row <= 120; ++row)
            ASSERT_EQ(byNumbers(p, stitch, row), White);
    }
}

TEST(Resize, MoreRowsAtTheBottomRaiseTheRowNumbers)
{
    const Pattern old = numbered(24, 100);
    const Pattern p = resized(old, 24, 120, RowSide::Bottom, StitchSide::Right);
    for (std::int32_t stitch = 1; stitch <= 24; ++stitch) {
        for (std::int32_t row = 1; row <= 20; ++row)
            ASSERT_EQ(byNumbers(p, stitch, row), White);
        for (std::int32_t row = 1; row <= 100; ++row)
            ASSERT_EQ(byNumbers(p, stitch, row + 20), byNumbers(old, stitch, row));
    }
}

TEST(Resize, FewerStitchesOnEitherSide)
{
    const Pattern old = numbered(24, 100);
    const Pattern left = resized(old, 20, 100, RowSide::Top, StitchSide::Left);
    const Pattern right = resized(old, 20, 100, RowSide::Top, StitchSide::Right);
    ASSERT_EQ(left.StitchCount, 20);
    for (std::int32_t row = 1; row <= 100; ++row)
        for (std::int32_t stitch = 1; stitch <= 20; ++stitch) {
            ASSERT_EQ(byNumbers(left, stitch, row), byNumbers(old, stitch + 4, row));
            ASSERT_EQ(byNumbers(right, stitch, row), byNumbers(old, stitch, row));
        }
}

TEST(Resize, FewerRowsAtTheBottomKeepTheTopRows)
{
    const Pattern old = numbered(24, 100);
    const Pattern p = resized(old, 26, 90, RowSide::Bottom, StitchSide::Right);
    for (std::int32_t r = 0; r < 90; ++r) {
        for (std::int32_t s = 0; s < 24; ++s)
            ASSERT_EQ(p.at(s, r), old.at(s, r));
        ASSERT_EQ(p.at(24, r), White);
        ASSERT_EQ(p.at(25, r), White);
    }
}

TEST(Resize, GrowingStitchesOnTheLeftWhileDroppingTopRows)
{
    const Pattern old = numbered(24, 100);
    const Pattern p = resized(old, 30, 90, RowSide::Top, StitchSide::Left);
    ASSERT_EQ(p.StitchCount, 30);
    ASSERT_EQ(p.RowCount, 90);
    for (std::int32_t row = 1; row <= 90; ++row) {
        for (std::int32_t stitch = 1; stitch <= 6; ++stitch)
            ASSERT_EQ(byNumbers(p, stitch, row), White);
        for (std::int32_t stitch = 1; stitch <= 24; ++stitch)
            ASSERT_EQ(byNumbers(p, stitch + 6, row), byNumbers(old, stitch, row));
    }
}

TEST(Resize, DownToOneCellKeepsTheCornerOppositeTheSides)
{
    const Pattern old = numbered(24, 100);
    const struct {
        RowSide rows;
        StitchSide stitches;
        std::int32_t s, r;
    } corners[] = { { RowSide::Top, StitchSide::Right, 0, 99 }, { RowSide::Top, StitchSide::Left, 23, 99 },
        { RowSide::Bottom, StitchSide::Right, 0, 0 }, { RowSide::Bottom, StitchSide::Left, 23, 0 } };
    for (const auto &c : corners) {
        const Pattern p = resized(old, 1, 1, c.rows, c.stitches);
        ASSERT_EQ(p.Cells.size(), 1u);
        EXPECT_EQ(p.Cells[0], old.at(c.s, c.r)) << c.s << ", " << c.r;
    }
}

TEST(Resize, SameCountsGiveTheSamePattern)
{
    const Pattern old = numbered(7, 5);
    EXPECT_EQ(resized(old, 7, 5, RowSide::Top, StitchSide::Left), old);
    EXPECT_EQ(resized(old, 7, 5, RowSide::Bottom, StitchSide::Right), old);
}

TEST(Resize, DropsCellsWhenEitherCountShrinks)
{
    const Pattern p = numbered(24, 100);
    EXPECT_FALSE(ResizeDropsCells(p, 24, 100));
    EXPECT_FALSE(ResizeDropsCells(p, 25, 120));
    EXPECT_TRUE(ResizeDropsCells(p, 23, 120));
    EXPECT_TRUE(ResizeDropsCells(p, 30, 99));
}

TEST(Resize, CountsOutsideTheLimitsAreRefused)
{
    const Pattern old = numbered(3, 2);
    for (auto [w, h] : { std::pair { 0, 5 }, { 5, 0 }, { -1, 1 }, { int(MaxCount) + 1, 1 }, { 8193, 8192 } }) {
        const Outcome<Pattern> result = ResizePattern(old, w, h, RowSide::Top, StitchSide::Right);
        ASSERT_FALSE(result.ok()) << w << " x " << h;
        EXPECT_EQ(result.failure().kind, Failure::Kind::TooLarge);
        EXPECT_EQ(result.failure().stitchCount, w);
        EXPECT_EQ(result.failure().rowCount, h);
    }
}

} // namespace
