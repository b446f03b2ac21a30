// Pointer-to-cell mapping and the paint-area size with its 32-bit bound.
#include "model/GridGeometry.h"
#include "model/Limits.h"

#include <gtest/gtest.h>
#include <limits>
#include <optional>

using namespace model;

TEST(GridGeometry, PointerMapsToTheCellRightOfOrBelowASharedOutline)
{
    struct Case {
        int pitch;
        std::int64_t x, y;
        std::optional<CellIndex> cell;
    };
    const Case cases[] = {
        { 20, 0, 0, CellIndex { 0, 0 } },
        { 20, 18, 0, CellIndex { 0, 0 } },
        { 20, 19, 0, CellIndex { 1, 0 } },
        { 20, 0, 19, CellIndex { 0, 1 } },
        { 20, 455, 1899, CellIndex { 23, 99 } },
        { 20, 456, 0, std::nullopt },
        { 20, 0, 1900, std::nullopt },
        { 20, -1, 0, std::nullopt },
        { 20, 0, -18, std::nullopt },
        { 2, 23, 99, CellIndex { 23, 99 } },
        { 2, 24, 0, std::nullopt },
        { 5, 4, 7, CellIndex { 1, 1 } },
        { 100, 98, 99, CellIndex { 0, 1 } },
        { 1, 0, 0, std::nullopt },
        { 0, 5, 5, std::nullopt },
    };
    for (const Case &c : cases)
        EXPECT_EQ(cellAt(24, 100, c.pitch, c.x, c.y), c.cell) << "pitch " << c.pitch << " at " << c.x << "," << c.y;
}

TEST(GridGeometry, PaintAreaIsPitchMinusOneTimesTheCountsWithinThirtyTwoBits)
{
    EXPECT_EQ(paintAreaFor(24, 100, 20), (PaintAreaSize { 456, 1900 }));
    EXPECT_EQ(paintAreaFor(1, 1, 20), (PaintAreaSize { 19, 19 }));
    EXPECT_EQ(paintAreaFor(0, 0, 20), (PaintAreaSize { 0, 0 }));

    const auto most = std::int32_t(MaxCount);
    EXPECT_EQ(largestPitchFor(most, 64), 2048);
    EXPECT_EQ(paintAreaFor(most, 64, 2048), (PaintAreaSize { 2047 * most, 2047 * 64 }));
    EXPECT_FALSE(paintAreaFor(most, 64, 2049));
    EXPECT_FALSE(paintAreaFor(64, most, 2049));
    for (std::int32_t count : { 1, 400, 800, 65536, most }) {
        const int largest = largestPitchFor(count, 1);
        EXPECT_TRUE(paintAreaFor(count, 1, largest)) << count;
        if (largest < std::numeric_limits<int>::max()) {
            EXPECT_FALSE(paintAreaFor(count, 1, largest + 1)) << count;
        }
    }
}
