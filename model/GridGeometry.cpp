#include "model/GridGeometry.h"

#include <algorithm>
#include <limits>

namespace model {

std::optional<CellIndex> cellAt(
    std::int32_t stitchCount, std::int32_t rowCount, int pitch, std::int64_t x, std::int64_t y)
{
    if (pitch < 2 || x < 0 || y < 0)
        return std::nullopt;
    const std::int64_t step = pitch - 1;
    const std::int64_t s = x / step;
    const std::int64_t r = y / step;
    if (s >= stitchCount || r >= rowCount)
        return std::nullopt;
    return CellIndex { std::int32_t(s), std::int32_t(r) };
}

PixelRect cellSquare(CellIndex cell, int pitch)
{
    const std::int64_t step = pitch - 1;
    return PixelRect { cell.s * step, cell.r * step, pitch, pitch };
}

std::optional<PaintAreaSize> paintAreaFor(std::int32_t stitchCount, std::int32_t rowCount, int pitch)
{
    if (pitch < 1 || stitchCount < 0 || rowCount < 0)
        return std::nullopt;
    const std::int64_t step = pitch - 1;
    const std::int64_t width = step * stitchCount;
    const std::int64_t height = step * rowCount;
    constexpr std::int64_t limit = std::numeric_limits<std::int32_t>::max();
    if (width > limit || height > limit)
        return std::nullopt;
    return PaintAreaSize { std::int32_t(width), std::int32_t(height) };
}

int largestPitchFor(std::int32_t stitchCount, std::int32_t rowCount)
{
    constexpr std::int64_t limit = std::numeric_limits<std::int32_t>::max();
    const std::int64_t longest = std::max<std::int64_t>({ stitchCount, rowCount, 1 });
    return int(std::min<std::int64_t>(limit / longest + 1, limit));
}

} // namespace model
