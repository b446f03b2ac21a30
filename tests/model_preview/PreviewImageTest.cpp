#include "model/PreviewImage.h"

#include <gtest/gtest.h>
#include <random>
#include <tuple>
#include <vector>

using model::Pixel;
using model::pixelOf;

namespace {

struct Picture {
    int width = 0, height = 0;
    std::vector<Pixel> pixels;
    Pixel at(int x, int y) const { return pixels[std::size_t(x) + std::size_t(y) * std::size_t(width)]; }
};

Picture render(const model::Pattern &p, int s, bool grid)
{
    const auto size = model::previewImageSize(p.StitchCount, p.RowCount, s);
    EXPECT_TRUE(size.has_value());
    Picture picture { size->width, size->height, std::vector<Pixel>(std::size_t(size->width) * size->height, 0) };
    model::renderPreview(p, s, grid, { picture.pixels.data(), size->width });
    return picture;
}

// The slow way: one outlined, filled rectangle per cell in drawing order, a
// later cell painting over the border it shares with an earlier one.
Picture reference(const model::Pattern &p, int s, bool grid)
{
    Picture picture { p.StitchCount * s + 1, p.RowCount * s + 1, {} };
    picture.pixels.assign(std::size_t(picture.width) * picture.height, 0x12345678u);
    for (int j = 0; j < p.RowCount; ++j)
        for (int k = 0; k < p.StitchCount; ++k) {
            const Pixel fill = pixelOf(p.at(k, j));
            const Pixel pen = grid ? pixelOf(model::Black) : fill;
            for (int y = j * s; y <= j * s + s; ++y)
                for (int x = k * s; x <= k * s + s; ++x) {
                    const bool edge = x == k * s || x == k * s + s || y == j * s || y == j * s + s;
                    picture.pixels[std::size_t(x) + std::size_t(y) * picture.width] = edge ? pen : fill;
                }
        }
    return picture;
}

model::Pattern randomPattern(int stitches, int rows, std::mt19937 &random)
{
    model::Pattern p;
    model::CreateBlank(p, stitches, rows);
    for (auto &cell : p.Cells)
        cell = random() & 0x00FFFFFF;
    return p;
}

const Pixel Black = pixelOf(model::Black);

} // namespace

TEST(PreviewImage, MatchesCellByCellDrawingOnRandomPatterns)
{
    std::mt19937 random(7);
    for (int round = 0; round < 40; ++round) {
        const auto p = randomPattern(1 + int(random() % 9), 1 + int(random() % 9), random);
        for (int s : model::PreviewCellSizes)
            for (bool grid : { false, true }) {
                const Picture got = render(p, s, grid), want = reference(p, s, grid);
                ASSERT_EQ(got.width, want.width);
                ASSERT_EQ(got.height, want.height);
                ASSERT_EQ(got.pixels, want.pixels)
                    << p.StitchCount << " x " << p.RowCount << " at s " << s << " grid " << grid;
            }
    }
}

TEST(PreviewImage, EdgeCasesOfScaleAndGrid)
{
    std::mt19937 random(3);
    const auto wide = randomPattern(100, 24, random);

    const Picture smallest = render(wide, 1, true);
    EXPECT_EQ(smallest.width, 101);
    EXPECT_EQ(smallest.height, 25);
    EXPECT_EQ(std::count(smallest.pixels.begin(), smallest.pixels.end(), Black), 101 * 25);

    const Picture tenPercent = render(wide, 2, true);
    for (int y = 0; y < tenPercent.height; ++y)
        for (int x = 0; x < tenPercent.width; ++x) {
            const bool inside = x % 2 == 1 && y % 2 == 1;
            ASSERT_EQ(tenPercent.at(x, y), inside ? pixelOf(wide.at(x / 2, y / 2)) : Black) << x << ", " << y;
        }

    const Picture plain = render(wide, 4, false);
    for (int y = 0; y < plain.height; ++y)
        EXPECT_EQ(plain.at(400, y), pixelOf(wide.at(99, std::min(y / 4, 23))));
    for (int x = 0; x < plain.width; ++x)
        EXPECT_EQ(plain.at(x, 96), pixelOf(wide.at(std::min(x / 4, 99), 23)));

    model::Pattern single;
    model::CreateBlank(single, 1, 1);
    single.Cells[0] = 0x00336699;
    const Picture framed = render(single, 20, true), filled = render(single, 20, false);
    ASSERT_EQ(framed.width, 21);
    ASSERT_EQ(framed.height, 21);
    for (int y = 0; y < 21; ++y)
        for (int x = 0; x < 21; ++x) {
            const bool frame = x == 0 || y == 0 || x == 20 || y == 20;
            EXPECT_EQ(framed.at(x, y), frame ? Black : pixelOf(0x00336699));
            EXPECT_EQ(filled.at(x, y), pixelOf(0x00336699));
        }
}

TEST(PreviewImage, SizeIsRefusedBeyondWhatAnImageHolds)
{
    EXPECT_FALSE(model::previewImageSize(0, 10, 1));
    EXPECT_FALSE(model::previewImageSize(10, 10, 0));
    EXPECT_EQ(model::previewImageSize(1638, 10, 20)->width, 32761);
    EXPECT_FALSE(model::previewImageSize(1639, 10, 20)); // 32781 pixels wide
    EXPECT_FALSE(model::previewImageSize(10, 1 << 20, 1));
    EXPECT_TRUE(model::previewImageSize(16383, 16383, 1)); // exactly 2^28 pixels
    EXPECT_FALSE(model::previewImageSize(10000, 10000, 2)); // each side fits, the area does not
}

TEST(PreviewImage, ScaleTextsGiveCellSizes)
{
    EXPECT_EQ(model::previewCellSize("5 %"), 1);
    EXPECT_EQ(model::previewCellSize("30 %"), 6);
    EXPECT_EQ(model::previewCellSize("100 %"), 20);
    EXPECT_FALSE(model::previewCellSize(""));
    EXPECT_FALSE(model::previewCellSize("5%"));
    EXPECT_FALSE(model::previewCellSize("15 %"));
}

TEST(PrintPlacement, WorkedPageOf4800By6400)
{
    struct Row {
        int w, h;
        model::PageRect want;
    };
    const Row rows[] = {
        { 2001, 481, { 399, 2719, 4401, 3681 } }, { 101, 25, { 2299, 3175, 2501, 3225 } },
        { 6001, 2001, { 900, 2700, 3900, 3700 } }, { 9601, 100, { 800, 3183, 4000, 3216 } },
        { 4800, 100, { 1200, 3175, 3600, 3225 } }, // as wide as the page: half size
        { 2400, 3200, { 1200, 1600, 3600, 4800 } }, // exactly half as high: own size
        { 2400, 3199, { 0, 1, 4800, 6399 } }, // exactly half as wide: doubled
    };
    for (const Row &row : rows)
        EXPECT_EQ(model::printPlacement(row.w, row.h, 4800, 6400), row.want) << row.w << " x " << row.h;
}

TEST(PrintPlacement, EdgeCases)
{
    // Half as wide plus one pixel is no longer doubled.
    EXPECT_EQ(model::printPlacement(2401, 100, 4800, 6400), (model::PageRect { 1199, 3150, 3600, 3250 }));
    // Taller than the page: the height sets the divisor.
    EXPECT_EQ(model::printPlacement(100, 12800, 4800, 6400), (model::PageRect { 2383, 1067, 2416, 5333 }));
    // The printed picture always stays strictly inside the page.
    std::mt19937 random(11);
    for (int i = 0; i < 2000; ++i) {
        const std::int64_t w = 1 + random() % 40000, h = 1 + random() % 40000;
        const std::int64_t pw = 1 + random() % 9000, ph = 1 + random() % 9000;
        const auto r = model::printPlacement(w, h, pw, ph);
        ASSERT_TRUE(r);
        EXPECT_GE(r->left, 0);
        EXPECT_GE(r->top, 0);
        EXPECT_LE(r->right, pw);
        EXPECT_LE(r->bottom, ph);
    }
    for (auto bad : { std::tuple { 0, 10, 10, 10 }, { 10, 10, 0, 10 }, { 10, 10, 10, -1 } })
        EXPECT_FALSE(model::printPlacement(std::get<0>(bad), std::get<1>(bad), std::get<2>(bad), std::get<3>(bad)));
}

TEST(PreviewImage, IndexedPictureMatchesTheTrueColourOne)
{
    std::mt19937 random(5);
    // Up to 20 colours with black are looked up in registers, more in
    // memory; white has a slot of its own among the empty ones.
    for (int colourCount : { 1, 16, 19, 20, 255 }) {
        std::vector<model::TColor> colours { model::White };
        while (int(colours.size()) < colourCount)
            colours.push_back(random() & 0x00FFFFFF);
        model::Pattern p;
        model::CreateBlank(p, 1 + int(random() % 30), 1 + int(random() % 30));
        for (auto &cell : p.Cells)
            cell = colours[random() % colours.size()];
        const auto table = model::previewColourTable(p);
        ASSERT_TRUE(table) << colourCount << " colours";
        ASSERT_EQ(table->front(), Black);
        for (int s : { 1, 2, 7, 20 })
            for (bool grid : { false, true }) {
                const Picture want = render(p, s, grid);
                const std::ptrdiff_t stride = (want.width + 3) & ~3;
                std::vector<std::uint8_t> indices(std::size_t(stride) * want.height, 0xEE);
                ASSERT_EQ(model::renderIndexedPreview(p, s, grid, { indices.data(), stride }), table);
                for (int y = 0; y < want.height; ++y)
                    for (int x = 0; x < want.width; ++x)
                        ASSERT_EQ((*table)[indices[std::size_t(x + y * stride)]], want.at(x, y))
                            << colourCount << " colours, s " << s << " grid " << grid << " at " << x << ", " << y;
            }
    }
}

TEST(PreviewImage, ColourTableHoldsBlackAndAtMost256Colours)
{
    struct Row {
        int others; // distinct colours besides black
        bool withBlack;
        bool fits;
    };
    for (const Row row : { Row { 255, false, true }, Row { 255, true, true }, Row { 256, false, false },
             Row { 256, true, false }, Row { 0, true, true } }) {
        model::Pattern p;
        model::CreateBlank(p, 300, 2);
        for (int i = 0; i < 600; ++i)
            p.Cells[std::size_t(i)] = model::TColor(1 + i % std::max(row.others, 1));
        if (row.others == 0)
            std::fill(p.Cells.begin(), p.Cells.end(), model::Black);
        if (row.withBlack)
            p.Cells.back() = model::Black;
        const auto table = model::previewColourTable(p);
        ASSERT_EQ(table.has_value(), row.fits) << row.others << " colours, black " << row.withBlack;
        if (!table)
            continue;
        EXPECT_EQ(table->size(), std::size_t(row.others + 1));
        EXPECT_EQ(table->front(), Black);
        if (row.others > 0) {
            EXPECT_EQ((*table)[1], pixelOf(1)); // then in order of first appearance
        }
    }
}
