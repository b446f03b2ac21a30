#include "model/PreviewImage.h"

#include <algorithm>
#include <array>
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

// One pixel line through a cell row, inside the cells (not on a grid line);
// colours holds the row's cells as pixel values.
template <typename P> void cellLine(const P *colours, std::size_t count, std::size_t s, bool grid, P black, P *line)
{
    for (std::size_t k = 0; k < count; ++k, line += s) {
        std::fill_n(line, s, colours[k]);
        if (grid)
            line[0] = black;
    }
    // The far edge: a grid line, or the last stitch once more.
    *line = grid ? black : colours[count - 1];
}

// Lines through the same cell row are identical: the first is drawn from the
// row's colours (rowColours(row, out)), the others are copies of it.
template <typename P, typename RowColours>
void renderLines(
    const Pattern &pattern, int cellSize, bool grid, P black, P *pixels, std::ptrdiff_t stride, RowColours &&rowColours)
{
    const auto size = previewImageSize(pattern.StitchCount, pattern.RowCount, cellSize);
    if (!size || !pattern.exists())
        return;
    const std::size_t s = std::size_t(cellSize);
    const std::size_t stitches = std::size_t(pattern.StitchCount);
    const std::size_t width = std::size_t(size->width);
    std::vector<P> colours(stitches);
    const P *previous = nullptr;
    std::int64_t previousRow = -1;
    for (std::int32_t y = 0; y < size->height; ++y) {
        P *line = pixels + std::ptrdiff_t(y) * stride;
        if (grid && y % cellSize == 0) {
            std::fill_n(line, width, black);
            continue;
        }
        const std::int64_t row = std::min<std::int64_t>(y / cellSize, pattern.RowCount - 1);
        if (row == previousRow) {
            std::memcpy(line, previous, width * sizeof(P));
            continue;
        }
        rowColours(std::size_t(row), colours.data());
        cellLine(colours.data(), stitches, s, grid, black, line);
        previous = line;
        previousRow = row;
    }
}

// Colour to table position: open addressing over twice the largest table.
class ColourIndex {
public:
    static constexpr std::size_t MaxColours = 256;

    // The colour's position, added at the end when new; -1 once the table is full.
    int find(TColor colour)
    {
        std::size_t slot = (colour * 2654435761u) >> 23; // 9 bits: 512 slots
        while (m_slots[slot].used) {
            if (m_slots[slot].colour == colour)
                return m_slots[slot].index;
            slot = (slot + 1) % m_slots.size();
        }
        if (m_colours.size() == MaxColours)
            return -1;
        m_slots[slot] = { colour, int(m_colours.size()), true };
        m_colours.push_back(pixelOf(colour));
        return m_slots[slot].index;
    }
    std::vector<Pixel> take() { return std::move(m_colours); }

private:
    struct Slot {
        TColor colour = 0;
        int index = 0;
        bool used = false;
    };
    std::array<Slot, 2 * MaxColours> m_slots {};
    std::vector<Pixel> m_colours;
};

} // namespace

void renderPreview(const Pattern &pattern, int cellSize, bool grid, PixelBuffer out)
{
    const std::size_t stitches = std::size_t(pattern.StitchCount);
    renderLines<Pixel>(
        pattern, cellSize, grid, pixelOf(Black), out.pixels, out.stride, [&](std::size_t row, Pixel *colours) {
            const TColor *cells = pattern.Cells.data() + row * stitches;
            for (std::size_t k = 0; k < stitches; ++k)
                colours[k] = pixelOf(cells[k]);
        });
}

std::optional<std::vector<Pixel>> previewColourTable(const Pattern &pattern)
{
    ColourIndex index;
    index.find(Black);
    TColor last = Black;
    for (const TColor cell : pattern.Cells) {
        // Neighbouring cells mostly share a colour.
        if (cell != last && index.find(cell) < 0)
            return std::nullopt;
        last = cell;
    }
    return index.take();
}

void renderPreview(const Pattern &pattern, int cellSize, bool grid, const std::vector<Pixel> &table, IndexBuffer out)
{
    ColourIndex index;
    for (const Pixel colour : table)
        index.find(colorOfPixel(colour));
    const std::size_t stitches = std::size_t(pattern.StitchCount);
    const std::uint8_t black = std::uint8_t(std::max(index.find(Black), 0));
    renderLines<std::uint8_t>(
        pattern, cellSize, grid, black, out.pixels, out.stride, [&](std::size_t row, std::uint8_t *colours) {
            const TColor *cells = pattern.Cells.data() + row * stitches;
            for (std::size_t k = 0; k < stitches; ++k)
                colours[k] = std::uint8_t(std::max(index.find(cells[k]), 0));
        });
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
