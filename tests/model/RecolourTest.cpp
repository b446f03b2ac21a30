#include "model/Recolour.h"

#include <gtest/gtest.h>

using namespace model;

TEST(Recolour, ReplacesOnlyCellsOfTheOldColourAndNeverWhite)
{
    Pattern p;
    CreateBlank(p, 3, 2);
    p.Cells = { 0x0000FF, White, 0x00FF00, 0x0000FF, 0x0000FF, White };

    EXPECT_EQ(ReplaceColor(p, 0x0000FF, 0x123456), 3u);
    EXPECT_EQ(p.Cells, (CellArray { 0x123456, White, 0x00FF00, 0x123456, 0x123456, White }));

    // A white slot recolours nothing; choosing white clears the old colour.
    EXPECT_EQ(ReplaceColor(p, White, 0x0000FF), 0u);
    EXPECT_EQ(ReplaceColor(p, 0x00FF00, White), 1u);
    EXPECT_EQ(p.Cells, (CellArray { 0x123456, White, White, 0x123456, 0x123456, White }));
}
