#pragma once
// The preview picture: the whole pattern as flat squares of s pixels, with or
// without black grid lines, and where that picture goes on a printed page.

#include "model/GridRaster.h"
#include "model/Pattern.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace model {

// The scale list, in order; scale i draws cells of PreviewCellSizes[i] pixels.
inline constexpr std::array<std::string_view, 11> PreviewScaleTexts
    = { "5 %", "10 %", "20 %", "30 %", "40 %", "50 %", "60 %", "70 %", "80 %", "90 %", "100 %" };
inline constexpr std::array<int, 11> PreviewCellSizes = { 1, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20 };

// The cell size of a scale text; nothing when the text is not in the list.
std::optional<int> previewCellSize(std::string_view scaleText);

// Bounds of a picture that 32-bit images and painters can hold.
inline constexpr std::int64_t MaxPreviewSide = 32767;
inline constexpr std::int64_t MaxPreviewPixels = std::int64_t(1) << 28;

struct PreviewSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};

// stitchCount * s + 1 by rowCount * s + 1; nothing when a count or s is not
// positive or the picture would exceed the bounds above.
std::optional<PreviewSize> previewImageSize(std::int64_t stitchCount, std::int64_t rowCount, int cellSize);

// Fills the whole picture (previewImageSize of its counts) into out. With the grid,
// every pixel whose x or y is a multiple of s is black; without it, the last
// pixel column and line repeat the last stitch and row. The size must be valid.
void renderPreview(const Pattern &pattern, int cellSize, bool grid, PixelBuffer out);

struct IndexBuffer {
    std::uint8_t *pixels = nullptr;
    std::ptrdiff_t stride = 0; // bytes from one line to the next
};

// The colours of a picture that one byte per pixel can hold: black first (the
// grid's lines), then the pattern's other colours in the order they first
// appear. Nothing when that makes more than 256.
std::optional<std::vector<Pixel>> previewColourTable(const Pattern &pattern);

// The same picture as one byte per pixel, drawn in one reading of the cells:
// each byte is the position of the pixel's colour in the table returned (the
// one previewColourTable gives). Nothing when the pattern has more colours
// than that holds; the picture is then drawn only in part.
std::optional<std::vector<Pixel>> renderIndexedPreview(const Pattern &pattern, int cellSize, bool grid, IndexBuffer out);

// Printer pixels; right and bottom exclusive.
struct PageRect {
    std::int64_t left = 0;
    std::int64_t top = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
    bool operator==(const PageRect &) const = default;
};

// Where a W x H picture is printed on a page of PW x PH printable pixels:
// doubled while it fits (strictly shorter than half the page), otherwise
// shrunk by the smallest whole divisor that keeps it inside, and centred.
// Nothing when any size is not positive.
std::optional<PageRect> printPlacement(
    std::int64_t imageWidth, std::int64_t imageHeight, std::int64_t pageWidth, std::int64_t pageHeight);

} // namespace model
