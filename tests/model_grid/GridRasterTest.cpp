// The scan-line renderer against a plain drawing of every cell's square in
// order, on random patterns, pitches and rectangles.
#include "model/GridRaster.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace model;

namespace {

constexpr Pixel Back = 0xFF123456;

// Draws every cell as the outlined square of its pitch, top row first and
// left to right, onto a full paint area; clipping keeps it inside.
std::vector<Pixel> referenceArea(const Pattern &p, int pitch, PaintAreaSize area)
{
    std::vector<Pixel> image(std::size_t(area.width) * std::size_t(area.height), Back);
    auto put = [&](std::int64_t x, std::int64_t y, Pixel value) {
        if (x >= 0 && y >= 0 && x < area.width && y < area.height)
            image[std::size_t(y * area.width + x)] = value;
    };
    for (std::int32_t r = 0; r < p.RowCount; ++r)
        for (std::int32_t s = 0; s < p.StitchCount; ++s) {
            const PixelRect sq = cellSquare({ s, r }, pitch);
            for (std::int64_t y = sq.y; y < sq.y + sq.height; ++y)
                for (std::int64_t x = sq.x; x < sq.x + sq.width; ++x) {
                    const bool ring = x == sq.x || y == sq.y || x == sq.x + sq.width - 1 || y == sq.y + sq.height - 1;
                    put(x, y, ring ? pixelOf(Black) : pixelOf(p.at(s, r)));
                }
        }
    return image;
}

Pattern randomPattern(std::mt19937 &random, std::int32_t stitches, std::int32_t rows)
{
    const TColor colours[] = { White, Black, 0x000000FF, 0x00FF8000, 0x0012AB34 };
    Pattern p;
    CreateBlank(p, stitches, rows);
    for (TColor &cell : p.Cells)
        cell = colours[random() % 5];
    return p;
}

} // namespace

TEST(GridRaster, PixelOfSwapsRedAndBlueIntoAnOpaqueWord)
{
    EXPECT_EQ(pixelOf(0x000000FF), 0xFFFF0000u);
    EXPECT_EQ(pixelOf(0x00FF0000), 0xFF0000FFu);
    EXPECT_EQ(pixelOf(White), 0xFFFFFFFFu);
    EXPECT_EQ(pixelOf(0xAA00FF00), 0xFF00FF00u);
}

TEST(GridRaster, ColorOfPixelSwapsBackAndDropsAlpha)
{
    const struct {
        Pixel pixel;
        TColor colour;
    } cases[] = { { 0xFFFF0000u, 0x000000FF }, { 0x000000FFu, 0x00FF0000 }, { 0x8012AB34u, 0x0034AB12 },
        { 0xFFFFFFFFu, White } };
    for (const auto &c : cases) {
        EXPECT_EQ(colorOfPixel(c.pixel), c.colour) << std::hex << c.pixel;
        EXPECT_EQ(colorOfPixel(pixelOf(c.colour)), c.colour) << std::hex << c.pixel;
    }
}

TEST(GridRaster, MatchesCellByCellDrawingInAnyRectangle)
{
    std::mt19937 random(7);
    for (int pitch : { 2, 3, 4, 5, 6, 7, 8, 9, 20, 100 }) {
        for (int trial = 0; trial < 40; ++trial) {
            const std::int32_t stitches = 1 + std::int32_t(random() % 6);
            const std::int32_t rows = 1 + std::int32_t(random() % 5);
            const Pattern p = randomPattern(random, stitches, rows);
            PaintAreaSize area = *paintAreaFor(stitches, rows, pitch);
            // A paint area left larger or smaller than the grid shows the far
            // outline or cuts cells off.
            if (trial % 4 == 1)
                area = { area.width + 1 + std::int32_t(random() % 30), area.height + std::int32_t(random() % 30) };
            if (trial % 4 == 2)
                area = { std::max(1, area.width - std::int32_t(random() % 7)), area.height };
            const std::vector<Pixel> whole = referenceArea(p, pitch, area);

            // A rectangle that may overhang every edge of the paint area.
            const std::int64_t x = std::int64_t(random() % (area.width + 20)) - 10;
            const std::int64_t y = std::int64_t(random() % (area.height + 20)) - 10;
            const std::int64_t w = 1 + random() % (area.width + 20);
            const std::int64_t h = 1 + random() % (area.height + 20);
            const std::ptrdiff_t stride = w + 3; // with guard pixels after each line
            std::vector<Pixel> out(std::size_t(stride * h), 0xDEADBEEF);
            renderGrid(p, pitch, area, { x, y, w, h }, { out.data(), stride }, Back);

            for (std::int64_t j = 0; j < h; ++j) {
                for (std::int64_t i = 0; i < w; ++i) {
                    const std::int64_t px = x + i, py = y + j;
                    const bool inside = px >= 0 && py >= 0 && px < area.width && py < area.height;
                    const Pixel expected = inside ? whole[std::size_t(py * area.width + px)] : Back;
                    ASSERT_EQ(out[std::size_t(j * stride + i)], expected)
                        << "pitch " << pitch << " trial " << trial << " pixel " << px << "," << py;
                }
                for (std::int64_t i = w; i < stride; ++i)
                    ASSERT_EQ(out[std::size_t(j * stride + i)], 0xDEADBEEF) << "wrote past the line";
            }
        }
    }
}

TEST(GridRaster, OnePatternOfOneCellShowsItsTopAndLeftOutline)
{
    Pattern p;
    CreateBlank(p, 1, 1);
    p.Cells[0] = 0x000000FF;
    std::vector<Pixel> out(19 * 19);
    renderGrid(p, 20, { 19, 19 }, { 0, 0, 19, 19 }, { out.data(), 19 }, Back);
    for (int y = 0; y < 19; ++y)
        for (int x = 0; x < 19; ++x)
            ASSERT_EQ(out[std::size_t(y * 19 + x)], x == 0 || y == 0 ? pixelOf(Black) : pixelOf(0x000000FF))
                << x << "," << y;
}

TEST(GridRaster, NoPatternOrNoStepDrawsBackgroundOnly)
{
    Pattern none;
    std::vector<Pixel> out(8 * 8, 0);
    renderGrid(none, 20, { 100, 100 }, { 0, 0, 8, 8 }, { out.data(), 8 }, Back);
    EXPECT_EQ(std::count(out.begin(), out.end(), Back), 64);

    Pattern p;
    CreateBlank(p, 3, 3);
    std::fill(out.begin(), out.end(), 0);
    renderGrid(p, 1, { 100, 100 }, { 0, 0, 8, 8 }, { out.data(), 8 }, Back);
    EXPECT_EQ(std::count(out.begin(), out.end(), Back), 64);
}

TEST(GridRaster, FarCellsOfTheLargestPatternRenderWithoutOverflow)
{
    Pattern p;
    CreateBlank(p, 1 << 20, 2);
    p.at((1 << 20) - 1, 1) = 0x0000FF00;
    const PaintAreaSize area = *paintAreaFor(p.StitchCount, p.RowCount, 2048);
    // The last cell's inside, seen from its own top-left outline corner.
    const PixelRect corner = cellSquare({ (1 << 20) - 1, 1 }, 2048);
    std::vector<Pixel> out(4 * 4);
    renderGrid(p, 2048, area, { corner.x, corner.y, 4, 4 }, { out.data(), 4 }, Back);
    EXPECT_EQ(out[0], pixelOf(Black));
    EXPECT_EQ(out[5], pixelOf(0x0000FF00));
    // Past the paint area's right edge, in the top row's inside.
    renderGrid(p, 2048, area, { area.width - 1, 1, 4, 1 }, { out.data(), 4 }, Back);
    EXPECT_EQ(out[0], pixelOf(White));
    EXPECT_EQ(out[1], Back);
}
