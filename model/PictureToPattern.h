#pragma once
// Turns a picture into a pattern: each cell takes the average of the part of
// the picture it covers, in linear light, and the cells are then reduced to a
// few yarn colours. Near-white colours become white, the empty cell.

#include "model/Outcome.h"
#include "model/Pattern.h"

#include <cstdint>
#include <vector>

namespace model {

// Straight (not premultiplied) RGBA, 4 bytes a pixel, rows top first, `stride` bytes apart.
struct PictureView {
    const std::uint8_t *rgba = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int64_t stride = 0;
};

// Knitted stitches per 10 cm across and rows per 10 cm up.
struct Gauge {
    std::int32_t stitches = 28;
    std::int32_t rows = 36;
};

inline constexpr int MinPictureColours = 2;
inline constexpr int MaxPictureColours = PaletteSize;

struct PictureConversion {
    std::int32_t stitches = 0;
    std::int32_t rows = 0;
    int colours = 4; // MinPictureColours to MaxPictureColours
    bool dither = false;
};

// The rows that keep the picture's proportions once knitted at `gauge`,
// rounded to the nearest whole row and at least 1.
std::int64_t RowsForStitches(std::int64_t stitches, std::int32_t pictureWidth, std::int32_t pictureHeight, Gauge gauge);

struct PatternFromPicture {
    Pattern pattern;
    // The colours found, most used first, white left out; the rest white.
    Palette palette {};
};

// Each cell's average colour before reduction: 8-bit RGBA, row after row.
struct AveragedCells {
    std::int32_t stitches = 0;
    std::int32_t rows = 0;
    std::vector<std::uint8_t> rgba;
};

// The two steps of ConvertPicture, apart so that a new colour count need not
// average the picture again. Transparent parts of the picture count as white.
// Fails with TooLarge when the counts pass the program's limits, Damaged for
// an empty picture, and OutOfMemory.
Outcome<AveragedCells> AverageCells(const PictureView &picture, std::int32_t stitches, std::int32_t rows);
// Fails with OutOfMemory when memory or the quantiser gives out.
Outcome<PatternFromPicture> ReduceColours(const AveragedCells &cells, int colours, bool dither);

Outcome<PatternFromPicture> ConvertPicture(const PictureView &picture, const PictureConversion &conversion);

} // namespace model
