#include "model/PreviewImage.h"

#include <algorithm>
#include <cstring>

namespace model {

std::optional<int> previewCellSize(std::string_view scaleText)
{
    for (std::size_t i = 0; i < PreviewScaleTexts.size(); ++i)
        if (PreviewScaleTexts[i] == scaleText)
            return PreviewCellSizes[i];
    return std::nullopt;
}

std::optional<PreviewSize> previewImageSize(std::int64_t stitchCount, std::int64_t rowCount, int cellSize)
{
    if (cellSize < 1 || stitchCount < 1 || rowCount < 1 || stitchCount > MaxPreviewSide || rowCount > MaxPreviewSide)
        return std::nullopt;
    const std::int64_t width = stitchCount * cellSize + 1;
    const std::int64_t height = rowCount * cellSize + 1;
    if (width > MaxPreviewSide || height > MaxPreviewSide || width * height > MaxPreviewPixels)
        return std::nullopt;
    return PreviewSize { std::int32_t(width), std::int32_t(height) };
}

namespace {

// One pixel line through cell row r, inside the cells (not on a grid line).
void cellLine(const TColor *cells, std::size_t count, std::size_t s, bool grid, Pixel *line)
{
    const Pixel black = pixelOf(Black);
    for (std::size_t k = 0; k < count; ++k, line += s) {
        const Pixel colour = pixelOf(cells[k]);
        std::fill_n(line, s, colour);
        if (grid)
            line[0] = black;
    }
    // The far edge: a grid line, or the last stitch once more.
    *line = grid ? black : pixelOf(cells[count - 1]);
}

} // namespace

void renderPreview(const Pattern &pattern, int cellSize, bool grid, PixelBuffer out)
{
    const auto size = previewImageSize(pattern.StitchCount, pattern.RowCount, cellSize);
    if (!size || !pattern.exists())
        return;
    const std::size_t s = std::size_t(cellSize);
    const std::size_t stitches = std::size_t(pattern.StitchCount);
    const std::size_t width = std::size_t(size->width);
    const Pixel black = pixelOf(Black);

    // Lines through the same cell row are identical: draw the first, copy it.
    const Pixel *previous = nullptr;
    std::int64_t previousRow = -1;
    for (std::int32_t y = 0; y < size->height; ++y) {
        Pixel *line = out.pixels + std::ptrdiff_t(y) * out.stride;
        if (grid && y % cellSize == 0) {
            std::fill_n(line, width, black);
            continue;
        }
        const std::int64_t row = std::min<std::int64_t>(y / cellSize, pattern.RowCount - 1);
        if (row == previousRow) {
            std::memcpy(line, previous, width * sizeof(Pixel));
            continue;
        }
        cellLine(pattern.Cells.data() + std::size_t(row) * stitches, stitches, s, grid, line);
        previous = line;
        previousRow = row;
    }
}

std::optional<PageRect> printPlacement(
    std::int64_t imageWidth, std::int64_t imageHeight, std::int64_t pageWidth, std::int64_t pageHeight)
{
    if (imageWidth < 1 || imageHeight < 1 || pageWidth < 1 || pageHeight < 1)
        return std::nullopt;
    std::int64_t width, height;
    // Doubling asks for strictly more than twice the height but only at least twice the width.
    if (pageHeight > 2 * imageHeight && pageWidth >= 2 * imageWidth) {
        width = 2 * imageWidth;
        height = 2 * imageHeight;
    } else {
        const std::int64_t divisor = std::max(imageWidth / pageWidth + 1, imageHeight / pageHeight + 1);
        width = imageWidth / divisor;
        height = imageHeight / divisor;
    }
    const std::int64_t left = (pageWidth - width) / 2;
    const std::int64_t top = (pageHeight - height) / 2;
    return PageRect { left, top, left + width, top + height };
}

} // namespace model
