#pragma once
// A small picture of a pattern file for file managers: the cells scaled to fit
// a square, no grid. Only the sampled rows (or, in very wide rows, the sampled
// cells) are read, so even the largest pattern costs a few megabytes.

#include "model/Outcome.h"
#include "model/Pattern.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace model {

// Thumbnails are never larger than this on either side, whatever is asked.
inline constexpr int MaxThumbnailSize = 1024;

struct Thumbnail {
    int width = 0;
    int height = 0;
    std::vector<TColor> pixels; // row after row, top row first, as the cells
};

// The width and height that fit stitchCount x rowCount cells into a
// size x size square, keeping the cells square; each at least 1. A pattern
// that fits at one pixel a cell is enlarged by a whole number.
std::pair<int, int> ThumbnailSize(std::int64_t stitchCount, std::int64_t rowCount, int size);

// Reads the pattern file and samples one cell per pixel (nearest cell).
// Fails as LoadPatternFile does for a damaged or too large file.
Outcome<Thumbnail> PatternThumbnail(const std::string &fileName, int size);

} // namespace model
