#pragma once
// Where cells lie on the paint area. A cell is a pitch x pitch square with a
// one-pixel outline; cells follow each other at pitch - 1 so neighbours share
// the outline. Pitches below 2 have no step and place no cell anywhere.

#include <cstdint>
#include <optional>

namespace model {

struct CellIndex {
    std::int32_t s = 0; // stitch, from the left
    std::int32_t r = 0; // grid row, from the top
    bool operator==(const CellIndex &) const = default;
};

// A rectangle of paint-area pixels; right = x + width, bottom = y + height (exclusive).
struct PixelRect {
    std::int64_t x = 0, y = 0, width = 0, height = 0;
    bool operator==(const PixelRect &) const = default;
};

struct PaintAreaSize {
    std::int32_t width = 0, height = 0;
    bool operator==(const PaintAreaSize &) const = default;
};

// The cell under a paint-area pixel: a pixel on a shared outline belongs to
// the cell right of it or below it. Nothing for points off the pattern.
std::optional<CellIndex> cellAt(
    std::int32_t stitchCount, std::int32_t rowCount, int pitch, std::int64_t x, std::int64_t y);

// The pixels a cell's square covers, outline included.
PixelRect cellSquare(CellIndex cell, int pitch);

// (pitch - 1) x count each way, or nothing when either side would not fit the
// 32-bit range that scroll positions use.
std::optional<PaintAreaSize> paintAreaFor(std::int32_t stitchCount, std::int32_t rowCount, int pitch);

// The largest pitch whose paint area still fits that range.
int largestPitchFor(std::int32_t stitchCount, std::int32_t rowCount);

} // namespace model
