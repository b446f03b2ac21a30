#include "model/GridRaster.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <vector>

namespace model {

namespace {

// What one pixel column (or line) of the paint area shows.
constexpr std::int64_t Background = -2;
constexpr std::int64_t Outline = -1;

// Background, Outline, or the index of the cell whose inside holds the pixel.
std::int64_t classify(std::int64_t p, std::int64_t extent, std::int64_t step, std::int64_t count)
{
    if (p < 0 || p >= extent)
        return Background;
    const std::int64_t index = p / step;
    if (p % step == 0) // a shared outline, or the far outline of the last cell
        return index <= count && count > 0 ? Outline : Background;
    return index < count ? index : Background;
}

// A left outline pixel and `inside` pixels of colour per cell. Small insides
// get a fixed count so the compiler can unroll them.
template <std::size_t Inside> void wholeCells(Pixel *p, const TColor *cells, std::size_t count)
{
    const Pixel black = pixelOf(Black);
    for (std::size_t c = 0; c < count; ++c, p += Inside + 1) {
        const Pixel colour = pixelOf(cells[c]);
        p[0] = black;
        for (std::size_t k = 1; k <= Inside; ++k)
            p[k] = colour;
    }
}

void wholeCells(Pixel *p, const TColor *cells, std::size_t count, std::size_t inside)
{
    const Pixel black = pixelOf(Black);
    for (std::size_t c = 0; c < count; ++c, p += inside + 1) {
        p[0] = black;
        std::fill_n(p + 1, inside, pixelOf(cells[c]));
    }
}

using WholeCellsWriter = void (*)(Pixel *, const TColor *, std::size_t);
constexpr WholeCellsWriter smallInsides[] = { wholeCells<0>, wholeCells<1>, wholeCells<2>, wholeCells<3>, wholeCells<4>,
    wholeCells<5>, wholeCells<6>, wholeCells<7> };

} // namespace

void renderGrid(const Pattern &pattern, int pitch, PaintAreaSize paintArea, const PixelRect &rect, PixelBuffer out,
    Pixel background)
{
    if (rect.width <= 0 || rect.height <= 0)
        return;
    const std::size_t width = std::size_t(rect.width);
    const bool drawable = pattern.exists() && pitch >= 2;
    const std::int64_t step = pitch - 1;

    // Slot 0 is the background, slot 1 the outline, then one per visible cell.
    std::vector<std::uint32_t> columnSlot(width);
    std::int64_t firstCell = 0, lastCell = -1;
    for (std::size_t i = 0; i < width; ++i) {
        const std::int64_t kind
            = drawable ? classify(rect.x + std::int64_t(i), paintArea.width, step, pattern.StitchCount) : Background;
        if (kind >= 0) {
            if (lastCell < firstCell)
                firstCell = kind;
            lastCell = kind;
        }
        columnSlot[i] = kind == Background ? 0 : kind == Outline ? 1 : std::uint32_t(kind - firstCell + 2);
    }
    const std::size_t visibleCells = std::size_t(std::max<std::int64_t>(lastCell - firstCell + 1, 0));
    std::vector<Pixel> colours(visibleCells + 2);
    colours[0] = background;
    colours[1] = pixelOf(Black);

    // Whole cells (left outline and inside) in the middle of the line are
    // written cell by cell; the cut cells and background at the ends by slot.
    std::int64_t wholeFirst = 0, wholeEnd = 0;
    if (drawable) {
        const std::int64_t right = std::min<std::int64_t>(rect.x + rect.width, paintArea.width);
        wholeFirst = std::max<std::int64_t>((std::max<std::int64_t>(rect.x, 0) + step - 1) / step, 0);
        wholeEnd = right > 0 ? std::min<std::int64_t>(right / step, pattern.StitchCount) : 0;
    }
    const bool hasWhole = wholeFirst < wholeEnd;
    const std::size_t middleStart = hasWhole ? std::size_t(wholeFirst * step - rect.x) : 0;
    const std::size_t middleEnd = hasWhole ? std::size_t(wholeEnd * step - rect.x) : 0;

    auto gather = [&](Pixel *dest, std::size_t from, std::size_t to) {
        const Pixel *palette = colours.data();
        const std::uint32_t *slot = columnSlot.data();
        for (std::size_t i = from; i < to; ++i)
            dest[i] = palette[slot[i]];
    };
    auto render = [&](Pixel *dest, const TColor *cells) {
        if (!hasWhole) {
            gather(dest, 0, width);
            return;
        }
        gather(dest, 0, middleStart);
        Pixel *p = dest + middleStart;
        if (cells) {
            const TColor *first = cells + wholeFirst;
            const std::size_t count = std::size_t(wholeEnd - wholeFirst);
            if (step <= std::int64_t(std::size(smallInsides)))
                smallInsides[step - 1](p, first, count);
            else
                wholeCells(p, first, count, std::size_t(step - 1));
        } else {
            std::fill(p, dest + middleEnd, colours[1]);
        }
        gather(dest, middleEnd, width);
    };

    // Lines of one kind are identical: each is rendered once into a small
    // buffer that stays in cache, then copied to every line of its kind.
    std::vector<Pixel> outlineLine, cellLine;
    std::int64_t cellLineRow = -1;
    for (std::int64_t y = 0; y < rect.height; ++y) {
        Pixel *dest = out.pixels + y * out.stride;
        const std::int64_t kind
            = drawable ? classify(rect.y + y, paintArea.height, step, pattern.RowCount) : Background;
        if (kind == Background) {
            std::fill_n(dest, width, background);
            continue;
        }
        std::vector<Pixel> &source = kind == Outline ? outlineLine : cellLine;
        if (kind == Outline && outlineLine.empty()) {
            std::fill(colours.begin() + 2, colours.end(), colours[1]);
            outlineLine.resize(width);
            render(outlineLine.data(), nullptr);
        } else if (kind >= 0 && kind != cellLineRow) {
            const TColor *cells = pattern.Cells.data() + std::size_t(kind) * std::size_t(pattern.StitchCount);
            for (std::size_t c = 0; c < visibleCells; ++c)
                colours[c + 2] = pixelOf(cells[std::size_t(firstCell) + c]);
            cellLine.resize(width);
            render(cellLine.data(), cells);
            cellLineRow = kind;
        }
        std::memcpy(dest, source.data(), width * sizeof(Pixel));
    }
}

} // namespace model
