#include "model/Pattern.h"

#include "model/Limits.h"

#include <new>

namespace model {

Palette WhitePalette()
{
    Palette palette;
    palette.fill(White);
    return palette;
}

Outcome<> CreateBlank(Pattern &pattern, std::int32_t stitchCount, std::int32_t rowCount)
{
    if (!fitsLimits(stitchCount, rowCount))
        return Failure::tooLarge(stitchCount, rowCount);
    // Build the new array first so a failed allocation leaves the old pattern whole.
    try {
        CellArray cells(std::size_t(stitchCount) * std::size_t(rowCount), White);
        pattern.Cells = std::move(cells);
    } catch (const std::bad_alloc &) {
        return Failure::of(Failure::Kind::OutOfMemory);
    }
    pattern.StitchCount = stitchCount;
    pattern.RowCount = rowCount;
    return {};
}

void Discard(Pattern &pattern)
{
    CellArray().swap(pattern.Cells);
}

} // namespace model
