#include "model/Pattern.h"

#include "model/Limits.h"

#include <stdexcept>
#include <string>

namespace model {

Palette WhitePalette()
{
    Palette palette;
    palette.fill(White);
    return palette;
}

void CreateBlank(Pattern &pattern, std::int32_t stitchCount, std::int32_t rowCount)
{
    if (!fitsLimits(stitchCount, rowCount))
        throw std::length_error(
            "pattern size out of range: " + std::to_string(stitchCount) + " x " + std::to_string(rowCount));
    // Build the new array first so a failed allocation leaves the old pattern whole.
    CellArray cells(std::size_t(stitchCount) * std::size_t(rowCount), White);
    pattern.Cells = std::move(cells);
    pattern.StitchCount = stitchCount;
    pattern.RowCount = rowCount;
}

void Discard(Pattern &pattern)
{
    CellArray().swap(pattern.Cells);
}

} // namespace model
