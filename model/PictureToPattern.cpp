#include "model/PictureToPattern.h"

#include "model/Limits.h"

#include <libimagequant.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <memory>
#include <new>
#include <vector>

namespace model {

namespace {

// Colours this close to white (Euclidean, in 8-bit sRGB steps) are taken for
// white: paper-white and light greys of a scan are empty cells, not a yarn.
constexpr int NearWhiteDistance = 16;
// Of libimagequant's 1 (best) to 10 (fastest): at 8 a 400 x 800 preview is
// three times quicker than at the default and no worse to the eye at 16 colours or fewer.
constexpr int QuantiserSpeed = 8;

struct LinearLight {
    std::array<float, 256> fromByte {};
    // Midpoints between neighbouring entries of fromByte, for the way back.
    std::array<float, 255> thresholds {};

    LinearLight()
    {
        for (int i = 0; i < 256; ++i) {
            const double v = i / 255.0;
            fromByte[i] = float(v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4));
        }
        for (int i = 0; i < 255; ++i)
            thresholds[i] = (fromByte[i] + fromByte[i + 1]) / 2;
    }
    // The byte whose linear value is nearest, so a flat colour comes back unchanged.
    std::uint8_t toByte(float linear) const
    {
        return std::uint8_t(std::upper_bound(thresholds.begin(), thresholds.end(), linear) - thresholds.begin());
    }
};

const LinearLight &linearLight()
{
    static const LinearLight table;
    return table;
}

// Which source pixels one cell covers along one axis, and how much of each.
struct Span {
    std::int32_t first = 0;
    std::int32_t count = 0;
    std::size_t weights = 0; // offset into the weight list
};

struct Coverage {
    std::vector<Span> spans;
    std::vector<float> weights;
};

// Cell c of `cells` covers [c·pixels, (c+1)·pixels) and pixel i covers
// [i·cells, (i+1)·cells) in units of 1/(pixels·cells), so the overlaps are exact.
Coverage coverage(std::int64_t pixels, std::int64_t cells)
{
    Coverage result;
    result.spans.resize(std::size_t(cells));
    for (std::int64_t c = 0; c < cells; ++c) {
        const std::int64_t from = c * pixels;
        const std::int64_t to = from + pixels;
        Span &span = result.spans[std::size_t(c)];
        span.first = std::int32_t(from / cells);
        span.count = std::int32_t((to - 1) / cells - span.first + 1);
        span.weights = result.weights.size();
        for (std::int64_t i = span.first; i < span.first + span.count; ++i) {
            const std::int64_t overlap = std::min((i + 1) * cells, to) - std::max(i * cells, from);
            result.weights.push_back(float(double(overlap) / double(pixels)));
        }
    }
    return result;
}

// Premultiplied linear red, green, blue and coverage.
struct Sum {
    float r = 0, g = 0, b = 0, a = 0;
};

// Averages the picture into cells, composited over white, as 8-bit RGBA.
std::vector<std::uint8_t> averageCells(const PictureView &picture, std::int32_t stitches, std::int32_t rows)
{
    const LinearLight &light = linearLight();
    const Coverage across = coverage(picture.width, stitches);
    const Coverage down = coverage(picture.height, rows);
    std::vector<std::uint8_t> cells(std::size_t(stitches) * std::size_t(rows) * 4);
    std::vector<Sum> rowSums(static_cast<std::size_t>(stitches));
    std::vector<Sum> cellSums(static_cast<std::size_t>(stitches));
    std::int32_t cachedRow = -1;

    for (std::int32_t y = 0; y < rows; ++y) {
        std::fill(cellSums.begin(), cellSums.end(), Sum {});
        const Span &vertical = down.spans[std::size_t(y)];
        for (std::int32_t k = 0; k < vertical.count; ++k) {
            const std::int32_t sourceRow = vertical.first + k;
            // A source row shared by two cell rows is reduced across once.
            if (sourceRow != cachedRow) {
                cachedRow = sourceRow;
                const std::uint8_t *line = picture.rgba + sourceRow * picture.stride;
                for (std::int32_t x = 0; x < stitches; ++x) {
                    const Span &span = across.spans[std::size_t(x)];
                    Sum sum;
                    for (std::int32_t j = 0; j < span.count; ++j) {
                        const std::uint8_t *pixel = line + std::size_t(span.first + j) * 4;
                        const float weight = across.weights[span.weights + std::size_t(j)] * (pixel[3] / 255.0f);
                        sum.r += light.fromByte[pixel[0]] * weight;
                        sum.g += light.fromByte[pixel[1]] * weight;
                        sum.b += light.fromByte[pixel[2]] * weight;
                        sum.a += weight;
                    }
                    rowSums[std::size_t(x)] = sum;
                }
            }
            const float weight = down.weights[vertical.weights + std::size_t(k)];
            for (std::size_t x = 0; x < cellSums.size(); ++x) {
                cellSums[x].r += rowSums[x].r * weight;
                cellSums[x].g += rowSums[x].g * weight;
                cellSums[x].b += rowSums[x].b * weight;
                cellSums[x].a += rowSums[x].a * weight;
            }
        }
        std::uint8_t *out = cells.data() + std::size_t(y) * std::size_t(stitches) * 4;
        for (const Sum &sum : cellSums) {
            const float white = std::max(0.0f, 1.0f - sum.a);
            *out++ = light.toByte(sum.r + white);
            *out++ = light.toByte(sum.g + white);
            *out++ = light.toByte(sum.b + white);
            *out++ = 255;
        }
    }
    return cells;
}

TColor colourOf(const std::uint8_t *rgba)
{
    return TColor(rgba[0]) | TColor(rgba[1]) << 8 | TColor(rgba[2]) << 16;
}

TColor whitened(TColor colour)
{
    const int r = 255 - int(colour & 0xFF), g = 255 - int(colour >> 8 & 0xFF), b = 255 - int(colour >> 16 & 0xFF);
    return r * r + g * g + b * b <= NearWhiteDistance * NearWhiteDistance ? White : colour;
}

// The distinct colours of the cells when there are at most `limit`; otherwise none.
std::vector<TColor> fewColours(const std::vector<std::uint8_t> &cells, int limit)
{
    std::vector<TColor> found;
    for (std::size_t i = 0; i < cells.size(); i += 4) {
        const TColor colour = colourOf(&cells[i]);
        if (std::find(found.begin(), found.end(), colour) != found.end())
            continue;
        if (int(found.size()) == limit)
            return {};
        found.push_back(colour);
    }
    return found;
}

template <typename T, void (*Destroy)(T *)> struct LiqDeleter {
    void operator()(T *p) const { Destroy(p); }
};
using LiqAttr = std::unique_ptr<liq_attr, LiqDeleter<liq_attr, liq_attr_destroy>>;
using LiqImage = std::unique_ptr<liq_image, LiqDeleter<liq_image, liq_image_destroy>>;
using LiqResult = std::unique_ptr<liq_result, LiqDeleter<liq_result, liq_result_destroy>>;

// Reduces the cells to `colours` with libimagequant; false when it gives out.
bool quantise(const AveragedCells &cells, int colours, bool dither, CellArray &out)
{
    const LiqAttr attr(liq_attr_create());
    if (!attr || liq_set_max_colors(attr.get(), colours) != LIQ_OK
        || liq_set_speed(attr.get(), QuantiserSpeed) != LIQ_OK)
        return false;
    const LiqImage image(liq_image_create_rgba(attr.get(), cells.rgba.data(), cells.stitches, cells.rows, 0));
    if (!image)
        return false;
    liq_result *raw = nullptr;
    if (liq_image_quantize(image.get(), attr.get(), &raw) != LIQ_OK)
        return false;
    const LiqResult result(raw);
    liq_set_dithering_level(result.get(), dither ? 1.0f : 0.0f);
    std::vector<std::uint8_t> indices(out.size());
    if (liq_write_remapped_image(result.get(), image.get(), indices.data(), indices.size()) != LIQ_OK)
        return false;
    const liq_palette *found = liq_get_palette(result.get());
    std::array<TColor, 256> entries {};
    for (unsigned i = 0; i < found->count; ++i) {
        const liq_color &c = found->entries[i];
        entries[i] = TColor(c.r) | TColor(c.g) << 8 | TColor(c.b) << 16;
    }
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = entries[indices[i]];
    return true;
}

} // namespace

std::int64_t RowsForStitches(std::int64_t stitches, std::int32_t pictureWidth, std::int32_t pictureHeight, Gauge gauge)
{
    if (pictureWidth < 1 || pictureHeight < 1 || gauge.stitches < 1 || gauge.rows < 1)
        return 1;
    const double rows = double(stitches) * pictureHeight * gauge.rows / (double(pictureWidth) * gauge.stitches);
    return std::max<std::int64_t>(1, std::llround(std::min(rows, double(MaxCells) * 2)));
}

Outcome<AveragedCells> AverageCells(const PictureView &picture, std::int32_t stitches, std::int32_t rows)
{
    if (!fitsLimits(stitches, rows))
        return Failure::tooLarge(stitches, rows);
    if (picture.width < 1 || picture.height < 1 || !picture.rgba)
        return Failure::of(Failure::Kind::Damaged);
    try {
        return AveragedCells { stitches, rows, averageCells(picture, stitches, rows) };
    } catch (const std::bad_alloc &) {
        return Failure::of(Failure::Kind::OutOfMemory);
    }
}

Outcome<PatternFromPicture> ReduceColours(const AveragedCells &cells, int colours, bool dither)
{
    colours = std::clamp(colours, MinPictureColours, MaxPictureColours);
    try {
        PatternFromPicture made;
        made.pattern.StitchCount = cells.stitches;
        made.pattern.RowCount = cells.rows;
        made.pattern.Cells.resize(cells.rgba.size() / 4);
        // Pictures already in few colours keep them exactly; the quantiser would round them.
        if (fewColours(cells.rgba, colours).empty()) {
            if (!quantise(cells, colours, dither, made.pattern.Cells))
                return Failure::of(Failure::Kind::OutOfMemory);
        } else {
            for (std::size_t i = 0; i < made.pattern.Cells.size(); ++i)
                made.pattern.Cells[i] = colourOf(&cells.rgba[i * 4]);
        }

        // At most 17 colours remain, so a short list counts them quickest.
        std::vector<std::pair<TColor, std::int64_t>> uses;
        for (TColor &cell : made.pattern.Cells) {
            cell = whitened(cell);
            auto found = std::find_if(uses.begin(), uses.end(), [cell](const auto &use) { return use.first == cell; });
            if (found == uses.end())
                uses.emplace_back(cell, 1);
            else
                ++found->second;
        }
        std::erase_if(uses, [](const auto &use) { return use.first == White; });
        std::sort(uses.begin(), uses.end(), [](const auto &a, const auto &b) {
            return a.second != b.second ? a.second > b.second : a.first < b.first;
        });
        made.palette = WhitePalette();
        for (std::size_t i = 0; i < uses.size() && i < made.palette.size(); ++i)
            made.palette[i] = uses[i].first;
        return made;
    } catch (const std::bad_alloc &) {
        return Failure::of(Failure::Kind::OutOfMemory);
    }
}

Outcome<PatternFromPicture> ConvertPicture(const PictureView &picture, const PictureConversion &conversion)
{
    const Outcome<AveragedCells> cells = AverageCells(picture, conversion.stitches, conversion.rows);
    if (!cells.ok())
        return cells.failure();
    return ReduceColours(cells.value(), conversion.colours, conversion.dither);
}

} // namespace model
