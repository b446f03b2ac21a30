#include "model/Resize.h"

#include "model/Limits.h"

#include <algorithm>
#include <new>

namespace model {

bool ResizeDropsCells(const Pattern &p, std::int32_t newStitchCount, std::int32_t newRowCount)
{
    return newStitchCount < p.StitchCount || newRowCount < p.RowCount;
}

Outcome<Pattern> ResizePattern(
    const Pattern &old, std::int32_t newStitchCount, std::int32_t newRowCount, RowSide rowSide, StitchSide stitchSide)
{
    if (!fitsLimits(newStitchCount, newRowCount))
        return Failure::tooLarge(newStitchCount, newRowCount);
    const std::int64_t oldW = old.StitchCount;
    // Without matching cells there is nothing to carry over.
    const std::int64_t oldH = old.StitchCount > 0 && old.RowCount > 0
            && old.Cells.size() == std::size_t(old.StitchCount) * std::size_t(old.RowCount)
        ? old.RowCount
        : 0;
    const std::int64_t newW = newStitchCount;
    const std::int64_t newH = newRowCount;
    const std::int64_t dy = rowSide == RowSide::Top ? newH - oldH : 0;
    const std::int64_t dx = stitchSide == StitchSide::Left ? newW - oldW : 0;

    // The stitches of a new row that have an old source: [first, last).
    const std::int64_t first = std::clamp<std::int64_t>(dx, 0, newW);
    const std::int64_t last = std::clamp<std::int64_t>(oldW + dx, first, newW);

    Pattern result;
    result.StitchCount = newStitchCount;
    result.RowCount = newRowCount;
    try {
        result.Cells.resize(std::size_t(newW) * std::size_t(newH));
    } catch (const std::bad_alloc &) {
        return Failure::of(Failure::Kind::OutOfMemory);
    }
    for (std::int64_t y = 0; y < newH; ++y) {
        TColor *row = result.Cells.data() + y * newW;
        const std::int64_t source = y - dy;
        if (source < 0 || source >= oldH) {
            std::fill_n(row, newW, White);
            continue;
        }
        const TColor *from = old.Cells.data() + source * oldW + (first - dx);
        std::fill(row, row + first, White);
        std::copy(from, from + (last - first), row + first);
        std::fill(row + last, row + newW, White);
    }
    return result;
}

} // namespace model
