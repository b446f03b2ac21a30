#pragma once
// Changing the counts of a pattern with rows and stitches added or removed on
// a chosen side; the kept cells stay put relative to the opposite side.

#include "model/Outcome.h"
#include "model/Pattern.h"

#include <cstdint>

namespace model {

enum class RowSide { Top, Bottom }; // item 0 "Сверху", item 1 "Снизу"
enum class StitchSide { Right, Left }; // item 0 "Справа", item 1 "Слева"

// True when either count shrinks, so some cells would be lost.
bool ResizeDropsCells(const Pattern &p, std::int32_t newStitchCount, std::int32_t newRowCount);

// Old cell (x, y) moves to (x + dx, y + dy), where dy is the row growth when
// rows change at the top and dx the stitch growth when stitches change on the
// left; cells moved outside are dropped and new cells are white. Fails with
// TooLarge when the new counts fail fitsLimits, OutOfMemory when the new
// cells find no memory.
Outcome<Pattern> ResizePattern(
    const Pattern &old, std::int32_t newStitchCount, std::int32_t newRowCount, RowSide rowSide, StitchSide stitchSide);

} // namespace model
