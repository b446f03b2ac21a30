// Pictures made into patterns: exact flat colours, the colour limit, area
// averaging that does not alias, and the rows that keep a picture's proportions.
// (The limits are checked through purlwise-convert's tests.)
#include "model/PictureToPattern.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <random>
#include <set>
#include <vector>

using namespace model;

namespace {

struct Picture {
    std::int32_t width, height;
    std::vector<std::uint8_t> rgba;
    Picture(std::int32_t w, std::int32_t h)
        : width(w)
        , height(h)
        , rgba(std::size_t(w) * std::size_t(h) * 4, 255)
    {
    }
    void set(std::int32_t x, std::int32_t y, TColor c, std::uint8_t alpha = 255)
    {
        std::uint8_t *p = &rgba[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4];
        p[0] = c & 0xFF, p[1] = c >> 8 & 0xFF, p[2] = c >> 16 & 0xFF, p[3] = alpha;
    }
    PictureView view() const { return { rgba.data(), width, height, std::int64_t(width) * 4 }; }
};

std::set<TColor> coloursOf(const Pattern &p)
{
    return { p.Cells.begin(), p.Cells.end() };
}

} // namespace

TEST(PictureToPattern, FlatColoursAtWholeCellSizesConvertExactly)
{
    struct Case {
        int colours, cellWidth, cellHeight, stitches, rows;
        bool dither;
    };
    for (const Case c : { Case { 2, 1, 1, 7, 5, false }, Case { 4, 3, 2, 13, 9, true },
             Case { 16, 5, 7, 31, 17, false }, Case { 7, 20, 20, 6, 11, true } }) {
        SCOPED_TRACE(c.colours);
        std::mt19937 random(c.colours);
        std::vector<TColor> yarns { White };
        while (int(yarns.size()) < c.colours)
            yarns.push_back(random() % 0xC0C0C0); // far from white
        Pattern expected;
        ASSERT_TRUE(CreateBlank(expected, c.stitches, c.rows).ok());
        Picture picture(c.stitches * c.cellWidth, c.rows * c.cellHeight);
        for (TColor &cell : expected.Cells)
            cell = yarns[random() % yarns.size()];
        for (int y = 0; y < picture.height; ++y)
            for (int x = 0; x < picture.width; ++x)
                picture.set(x, y, expected.at(x / c.cellWidth, y / c.cellHeight));
        // Fully transparent pixels are the empty cell, whatever their colour.
        if (c.cellWidth == 1 && c.cellHeight == 1) {
            picture.set(0, 0, 0x123456, 0);
            expected.at(0, 0) = White;
        }

        const auto made = ConvertPicture(picture.view(), { c.stitches, c.rows, c.colours, c.dither });
        ASSERT_TRUE(made.ok());
        EXPECT_EQ(made.value().pattern, expected);
        // Every yarn used is in the palette, most used first, and white only fills the rest.
        const Palette &palette = made.value().palette;
        std::set<TColor> used = coloursOf(expected);
        used.erase(White);
        EXPECT_EQ(std::set<TColor>(palette.begin(), palette.begin() + used.size()), used);
        EXPECT_TRUE(std::all_of(palette.begin() + used.size(), palette.end(), [](TColor t) { return t == White; }));
    }
}

TEST(PictureToPattern, PhotoLikePictureKeepsToTheColourCount)
{
    Picture picture(300, 200);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.set(x, y, TColor(x * 255 / 300) | TColor(y * 255 / 200) << 8 | TColor((x + y) % 256) << 16);
    for (int colours : { 2, 4, 9, 16 })
        for (bool dither : { false, true }) {
            SCOPED_TRACE(colours * 10 + dither);
            const auto made = ConvertPicture(picture.view(), { 60, 50, colours, dither });
            ASSERT_TRUE(made.ok());
            const std::set<TColor> found = coloursOf(made.value().pattern);
            EXPECT_LE(int(found.size()), colours);
            EXPECT_GE(int(found.size()), 2);
            for (TColor t : found)
                EXPECT_TRUE(t == White || std::count(made.value().palette.begin(), made.value().palette.end(), t) == 1);
        }
}

TEST(PictureToPattern, DitheringKeepsTheShadeOfEveryBandOfRows)
{
    // A vertical ramp, small and large enough for the halves to be dithered
    // apart: each band of rows keeps about the mean shade of its cells (the
    // darkest and lightest lie beyond the few colours chosen).
    for (const auto [stitches, rows, colours] : { std::array { 40, 30, 3 }, std::array { 300, 400, 4 } }) {
        Picture picture(stitches, rows);
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < stitches; ++x)
                picture.set(x, y, TColor(y * 200 / rows) * 0x010101 + TColor(x % 2) * 0x20);
        const auto cells = AverageCells(picture.view(), stitches, rows);
        ASSERT_TRUE(cells.ok());
        const auto made = ReduceColours(cells.value(), colours, true);
        ASSERT_TRUE(made.ok());
        const int band = rows / 10;
        for (int from = 0; from < rows; from += band) {
            double source = 0, dithered = 0;
            for (int y = from; y < from + band; ++y)
                for (int x = 0; x < stitches; ++x) {
                    source += cells.value().rgba[(std::size_t(y) * std::size_t(stitches) + std::size_t(x)) * 4 + 1];
                    dithered += made.value().pattern.at(x, y) >> 8 & 0xFF;
                }
            EXPECT_NEAR(dithered / (band * stitches), source / (band * stitches), 40) << stitches << ": " << from;
        }
    }
}

TEST(PictureToPattern, ShrinkingFineDetailAveragesInsteadOfAliasing)
{
    // One-pixel black and white stripes shrunk 20 times are an even mid grey
    // (half the light: 188 in sRGB), not black or white by chance of sampling.
    Picture picture(400, 400);
    for (int y = 0; y < picture.height; ++y)
        for (int x = 0; x < picture.width; ++x)
            picture.set(x, y, (x + y / 2) % 2 ? White : Black);
    const auto made = ConvertPicture(picture.view(), { 20, 20, 4, false });
    ASSERT_TRUE(made.ok());
    EXPECT_EQ(coloursOf(made.value().pattern), std::set<TColor> { 0xBCBCBC });
}

TEST(PictureToPattern, AveragesMatchTheAreaIntegralInLinearLight)
{
    const auto linear = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    const auto gamma = [](double v) { return v <= 0.0031308 ? v * 12.92 : 1.055 * std::pow(v, 1 / 2.4) - 0.055; };
    // Overlap of pixel i and cell k along one axis, as a fraction of the cell.
    const auto overlap = [](int i, int pixels, int k, int count) {
        return std::max(0.0,
                   std::min(double(i + 1) / pixels, double(k + 1) / count)
                       - std::max(double(i) / pixels, double(k) / count))
            * count;
    };
    // Cells over fractions of pixels, pixels over several cells, and a picture
    // large enough to be shared among threads.
    for (const auto [width, height, stitches, rows] : { std::array { 37, 23, 10, 7 }, std::array { 5, 3, 13, 11 },
             std::array { 400, 3, 7, 2 }, std::array { 1500, 1400, 29, 41 } }) {
        std::mt19937 random(width);
        Picture picture(width, height);
        for (std::uint8_t &byte : picture.rgba)
            byte = std::uint8_t(random() % 4 ? random() : 255);
        for (std::size_t i = 3; i < picture.rgba.size(); i += 8 * std::size_t(width)) // every other row opaque
            for (std::size_t x = 0; x < std::size_t(width); ++x)
                picture.rgba[i + x * 4] = 255;
        const auto cells = AverageCells(picture.view(), stitches, rows);
        ASSERT_TRUE(cells.ok());
        for (int r = 0; r < rows; ++r)
            for (int s = 0; s < stitches; ++s) {
                double sum[3] = {}, cover = 0;
                for (int y = r * height / rows; y <= (r + 1) * height / rows && y < height; ++y)
                    for (int x = s * width / stitches; x <= (s + 1) * width / stitches && x < width; ++x) {
                        const std::uint8_t *p
                            = &picture.rgba[(std::size_t(y) * std::size_t(width) + std::size_t(x)) * 4];
                        const double weight = overlap(x, width, s, stitches) * overlap(y, height, r, rows) * p[3] / 255;
                        for (int i = 0; i < 3; ++i)
                            sum[i] += linear(p[i] / 255.0) * weight;
                        cover += weight;
                    }
                for (int i = 0; i < 3; ++i) // over white, and within a step of rounding
                    ASSERT_NEAR(
                        cells.value()
                            .rgba[(std::size_t(r) * std::size_t(stitches) + std::size_t(s)) * 4 + std::size_t(i)],
                        255 * gamma(sum[i] + 1 - cover), 1.5)
                        << width << ": " << s << "," << r;
            }
    }
}

TEST(PictureToPattern, RowsFollowThePictureAndTheGauge)
{
    struct Case {
        std::int64_t stitches;
        std::int32_t width, height;
        Gauge gauge;
        std::int64_t rows;
    };
    for (const Case c : { Case { 60, 400, 300, {}, 58 }, // 60·0.75·36/28 = 57.86
             Case { 28, 100, 100, { 28, 36 }, 36 }, Case { 10, 100, 100, { 20, 20 }, 10 },
             Case { 7, 2, 1, { 10, 10 }, 4 }, // 3.5 rounds up
             Case { 1, 1000, 1, {}, 1 }, Case { 400, 1, 1000, { 10, 40 }, 1600000 } })
        EXPECT_EQ(RowsForStitches(c.stitches, c.width, c.height, c.gauge), c.rows) << c.stitches << " " << c.width;
}
