#include "model/PictureToPattern.h"

#include "model/Limits.h"

#include "model/ImageQuantLibrary.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <memory>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

namespace model {

namespace {

// Colours this close to white (Euclidean, in 8-bit sRGB steps) are taken for
// white: paper-white and light greys of a scan are empty cells, not a yarn.
constexpr int NearWhiteDistance = 16;
// Of libimagequant's 1 (best) to 10 (fastest): at 16 colours or fewer, 10 finds
// colours as close to photos as 8 does (by its own remapping error), in about
// 60 % of the time.
constexpr int QuantiserSpeed = 10;

// sRGB bytes to linear light in fixed point, 0 to LinearWhite. Integer sums
// of these are exact, so a flat colour averages back to itself.
constexpr std::uint32_t LinearWhite = 65535;

struct LinearLight {
    std::array<std::uint32_t, 256> fromByte {};
    // Midpoints between neighbouring entries of fromByte, for the way back.
    std::array<double, 256> thresholds {};
    // How many thresholds lie at or below each whole linear value: the
    // entries are at least 19 apart, so at most one more lies before the next.
    std::vector<std::uint8_t> below;

    LinearLight()
        : below(LinearWhite + 1)
    {
        for (int i = 0; i < 256; ++i) {
            const double v = i / 255.0;
            fromByte[i] = std::uint32_t(
                std::lround(LinearWhite * (v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4))));
        }
        for (int i = 0; i < 255; ++i)
            thresholds[i] = (fromByte[i] + fromByte[i + 1]) / 2.0;
        thresholds[255] = LinearWhite + 1.0;
        int count = 0;
        for (std::uint32_t v = 0; v <= LinearWhite; ++v) {
            while (count < 255 && thresholds[std::size_t(count)] <= v)
                ++count;
            below[v] = std::uint8_t(count);
        }
    }
    // The byte whose linear value is nearest.
    std::uint8_t toByte(double linear) const
    {
        const double clamped = std::clamp(linear, 0.0, double(LinearWhite));
        const std::uint8_t byte = below[std::size_t(clamped)];
        return byte + (clamped >= thresholds[byte] ? 1 : 0);
    }
};

const LinearLight &linearLight()
{
    static const LinearLight table;
    return table;
}

// Which source pixels one cell covers along one axis and how much of each, in
// units of 1/(pixels·cells): cell c covers [c·pixels, (c+1)·pixels) and pixel i
// covers [i·cells, (i+1)·cells), so the overlaps are whole numbers. The pixels
// between the first and the last are covered whole, by `cells` units each.
struct Span {
    std::int32_t first = 0;
    std::int32_t count = 0;
    std::uint64_t firstWeight = 0;
    std::uint64_t lastWeight = 0; // when count > 1
};

std::vector<Span> coverage(std::int64_t pixels, std::int64_t cells)
{
    std::vector<Span> spans;
    spans.resize(std::size_t(cells));
    for (std::int64_t c = 0; c < cells; ++c) {
        const std::int64_t from = c * pixels;
        const std::int64_t to = from + pixels;
        Span &span = spans[std::size_t(c)];
        const std::int64_t first = from / cells, last = (to - 1) / cells;
        span.first = std::int32_t(first);
        span.count = std::int32_t(last - first + 1);
        span.firstWeight = std::uint64_t(std::min((first + 1) * cells, to) - from);
        span.lastWeight = std::uint64_t(to - last * cells);
    }
    return spans;
}

// Premultiplied linear red, green, blue and coverage (alpha 0-255 times weight).
template <typename T> struct Sum {
    T r = 0, g = 0, b = 0, a = 0;
};

// One source row reduced across to the cell columns. In an opaque row, as in
// most photos, alpha is neither read nor multiplied in.
template <bool Opaque>
void sumRow(const std::uint8_t *line, const std::vector<Span> &across, std::uint64_t whole, Sum<std::uint64_t> *out)
{
    const std::uint32_t *light = linearLight().fromByte.data();
    const auto add = [light](const std::uint8_t *p, Sum<std::uint64_t> &sum) {
        if constexpr (Opaque) {
            sum.r += light[p[0]];
            sum.g += light[p[1]];
            sum.b += light[p[2]];
        } else {
            const std::uint32_t alpha = p[3];
            sum.r += light[p[0]] * alpha;
            sum.g += light[p[1]] * alpha;
            sum.b += light[p[2]] * alpha;
            sum.a += alpha;
        }
    };
    const auto weighted = [&add](const std::uint8_t *p, std::uint64_t weight, Sum<std::uint64_t> &sum) {
        Sum<std::uint64_t> one;
        add(p, one);
        sum.r += one.r * weight, sum.g += one.g * weight, sum.b += one.b * weight, sum.a += one.a * weight;
    };
    for (const Span &span : across) {
        const std::uint8_t *first = line + std::size_t(span.first) * 4;
        Sum<std::uint64_t> inner;
        for (std::int32_t j = 1; j + 1 < span.count; ++j)
            add(first + std::size_t(j) * 4, inner);
        Sum<std::uint64_t> sum { inner.r * whole, inner.g * whole, inner.b * whole, inner.a * whole };
        weighted(first, span.firstWeight, sum);
        if (span.count > 1)
            weighted(first + std::size_t(span.count - 1) * 4, span.lastWeight, sum);
        if constexpr (Opaque)
            sum = { sum.r * 255, sum.g * 255, sum.b * 255, 0 };
        *out++ = sum;
    }
}

bool opaque(const std::uint8_t *line, std::int32_t width)
{
    std::uint8_t all = 255;
    for (std::int32_t x = 0; x < width; ++x)
        all &= line[std::size_t(x) * 4 + 3];
    return all == 255;
}

// One cell row's sums as they grow, and the last source row reduced across.
struct Scratch {
    std::vector<Sum<std::uint64_t>> rowSums;
    std::vector<Sum<double>> cellSums;
    explicit Scratch(std::size_t stitches)
        : rowSums(stitches)
        , cellSums(stitches)
    {
    }
};

// Averages cell rows [fromRow, toRow) of the picture, composited over white,
// into 8-bit RGBA at `out`.
void averageRows(const PictureView &picture, const std::vector<Span> &across, const std::vector<Span> &down,
    std::int32_t fromRow, std::int32_t toRow, Scratch &scratch, std::uint8_t *out)
{
    const LinearLight &light = linearLight();
    const std::size_t stitches = across.size();
    const std::uint64_t opaqueRow = 255 * std::uint64_t(picture.width);
    // A cell's full weight: every pixel it covers, opaque.
    const double area = 255.0 * double(picture.width) * double(picture.height);
    std::vector<Sum<std::uint64_t>> &rowSums = scratch.rowSums;
    std::vector<Sum<double>> &cellSums = scratch.cellSums;
    std::int32_t cachedRow = -1;
    bool cachedOpaque = false;

    out += std::size_t(fromRow) * stitches * 4;
    for (std::int32_t y = fromRow; y < toRow; ++y) {
        std::fill(cellSums.begin(), cellSums.end(), Sum<double> {});
        const Span &vertical = down[std::size_t(y)];
        for (std::int32_t k = 0; k < vertical.count; ++k) {
            const std::int32_t sourceRow = vertical.first + k;
            // A source row shared by two cell rows is reduced across once.
            if (sourceRow != cachedRow) {
                cachedRow = sourceRow;
                const std::uint8_t *line = picture.rgba + sourceRow * picture.stride;
                cachedOpaque = opaque(line, picture.width);
                if (cachedOpaque)
                    sumRow<true>(line, across, stitches, rowSums.data());
                else
                    sumRow<false>(line, across, stitches, rowSums.data());
            }
            const std::uint64_t units = k == 0 ? vertical.firstWeight
                : k + 1 == vertical.count      ? vertical.lastWeight
                                               : std::uint64_t(down.size());
            const auto weight = double(units);
            const double coverage = double(opaqueRow) * weight;
            for (std::size_t x = 0; x < stitches; ++x) {
                cellSums[x].r += double(rowSums[x].r) * weight;
                cellSums[x].g += double(rowSums[x].g) * weight;
                cellSums[x].b += double(rowSums[x].b) * weight;
                cellSums[x].a += cachedOpaque ? coverage : double(rowSums[x].a) * weight;
            }
        }
        for (const Sum<double> &sum : cellSums) {
            const double white = std::max(0.0, area - sum.a) * LinearWhite;
            *out++ = light.toByte((sum.r + white) / area);
            *out++ = light.toByte((sum.g + white) / area);
            *out++ = light.toByte((sum.b + white) / area);
            *out++ = 255;
        }
    }
}

// Averages the picture into cells as 8-bit RGBA. The cell rows are shared
// among the processors (a source row on a boundary is read by both sides):
// the preview of the largest pattern has to keep up with typing.
std::vector<std::uint8_t> averageCells(const PictureView &picture, std::int32_t stitches, std::int32_t rows)
{
    const std::vector<Span> across = coverage(picture.width, stitches);
    const std::vector<Span> down = coverage(picture.height, rows);
    std::vector<std::uint8_t> cells(std::size_t(stitches) * std::size_t(rows) * 4);
    // A thread for every million pixels at most: for fewer, starting one costs more than it saves.
    const std::int64_t pixels = std::int64_t(picture.width) * picture.height;
    const auto parts = std::int32_t(std::clamp<std::int64_t>(
        std::min<std::int64_t>(std::thread::hardware_concurrency(), pixels >> 20), 1, std::min(rows, 8)));
    std::vector<Scratch> scratch(std::size_t(parts), Scratch { std::size_t(stitches) });
    const auto average = [&](std::int32_t part) {
        averageRows(picture, across, down, std::int32_t(std::int64_t(rows) * part / parts),
            std::int32_t(std::int64_t(rows) * (part + 1) / parts), scratch[std::size_t(part)], cells.data());
    };
    std::vector<std::thread> helpers;
    helpers.reserve(std::size_t(parts)); // so that only starting a thread can fail below
    try {
        for (std::int32_t part = 1; part < parts; ++part)
            helpers.emplace_back(average, part);
    } catch (const std::system_error &) {
        // Fewer threads: this one does the parts that found none.
    }
    average(0);
    for (std::thread &helper : helpers)
        helper.join();
    for (auto part = std::int32_t(helpers.size()) + 1; part < parts; ++part)
        average(part);
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

// Cells as indices into a few colours.
struct IndexedCells {
    std::vector<std::uint8_t> indices;
    std::vector<TColor> colours;
};

// The cells by their distinct colours when there are at most `limit`; otherwise no colours.
IndexedCells fewColours(const std::vector<std::uint8_t> &cells, int limit)
{
    IndexedCells found;
    found.indices.resize(cells.size() / 4);
    for (std::size_t i = 0; i < found.indices.size(); ++i) {
        const TColor colour = colourOf(&cells[i * 4]);
        const auto known = std::find(found.colours.begin(), found.colours.end(), colour);
        if (known == found.colours.end() && int(found.colours.size()) == limit)
            return {};
        found.indices[i] = std::uint8_t(known - found.colours.begin());
        if (known == found.colours.end())
            found.colours.push_back(colour);
    }
    return found;
}

struct LiqDeleter {
    void operator()(liq_attr *p) const { imageQuantLibrary()->attr_destroy(p); }
    void operator()(liq_image *p) const { imageQuantLibrary()->image_destroy(p); }
    void operator()(liq_result *p) const { imageQuantLibrary()->result_destroy(p); }
};
using LiqAttr = std::unique_ptr<liq_attr, LiqDeleter>;
using LiqImage = std::unique_ptr<liq_image, LiqDeleter>;
using LiqResult = std::unique_ptr<liq_result, LiqDeleter>;

// A quantiser result whose palette is exactly `palette` (few colours pass through unchanged).
LiqResult resultOfColours(liq_attr *attr, const liq_palette &palette)
{
    const ImageQuantLibrary &liq = *imageQuantLibrary();
    std::vector<liq_color> line(palette.entries, palette.entries + palette.count);
    const LiqImage image(liq.image_create_rgba(attr, line.data(), int(line.size()), 1, 0));
    liq_result *raw = nullptr;
    if (!image || liq.image_quantize(image.get(), attr, &raw) != LIQ_OK)
        return nullptr;
    return LiqResult(raw);
}

// Remaps `rows` rows of cells from `first` into the same cells of `out`,
// whose colours from `paletteOffset` on are the result's palette.
bool remapRows(liq_attr *attr, liq_result *result, const AveragedCells &cells, std::int32_t first, std::int32_t rows,
    IndexedCells &out, std::size_t paletteOffset)
{
    const ImageQuantLibrary &liq = *imageQuantLibrary();
    const std::size_t from = std::size_t(first) * std::size_t(cells.stitches);
    const std::size_t count = std::size_t(rows) * std::size_t(cells.stitches);
    const LiqImage image(liq.image_create_rgba(attr, cells.rgba.data() + from * 4, cells.stitches, rows, 0));
    if (!image || liq.write_remapped_image(result, image.get(), out.indices.data() + from, count) != LIQ_OK)
        return false;
    if (paletteOffset)
        for (std::size_t i = from; i < from + count; ++i)
            out.indices[i] = std::uint8_t(out.indices[i] + paletteOffset);
    return true;
}

void appendPalette(const liq_palette &palette, std::vector<TColor> &colours)
{
    for (unsigned i = 0; i < palette.count; ++i) {
        const liq_color &c = palette.entries[i];
        colours.push_back(TColor(c.r) | TColor(c.g) << 8 | TColor(c.b) << 16);
    }
}

// Dithering carries each cell's error on to the next, so one processor does it
// alone; from this many cells on, the top and bottom halves are dithered at once.
constexpr std::size_t SplitDitherCells = 1 << 16;

// Reduces the cells to `colours` with libimagequant; false when it gives out.
bool quantise(const AveragedCells &cells, int colours, bool dither, IndexedCells &out)
{
    const ImageQuantLibrary &liq = *imageQuantLibrary();
    // One thread: libimagequant's OpenMP helpers spin while they wait, which on
    // a busy machine made the largest preview three times slower, not faster.
    liq.omp_set_num_threads(1);
    const LiqAttr attr(liq.attr_create());
    if (!attr || liq.set_max_colors(attr.get(), colours) != LIQ_OK
        || liq.set_speed(attr.get(), QuantiserSpeed) != LIQ_OK)
        return false;
    const LiqImage image(liq.image_create_rgba(attr.get(), cells.rgba.data(), cells.stitches, cells.rows, 0));
    if (!image)
        return false;
    liq_result *raw = nullptr;
    if (liq.image_quantize(image.get(), attr.get(), &raw) != LIQ_OK)
        return false;
    const LiqResult result(raw);
    out.indices.resize(cells.rgba.size() / 4);
    out.colours.clear();

    const bool split = dither && out.indices.size() >= SplitDitherCells && cells.rows >= 2
        && std::thread::hardware_concurrency() > 1;
    if (!split) {
        liq.set_dithering_level(result.get(), dither ? 1.0f : 0.0f);
        if (liq.write_remapped_image(result.get(), image.get(), out.indices.data(), out.indices.size()) != LIQ_OK)
            return false;
        appendPalette(*liq.get_palette(result.get()), out.colours);
        return true;
    }

    // Each half gets a result of its own holding the chosen colours, as the
    // quantiser keeps its dithering state in the result.
    const liq_palette chosen = *liq.get_palette(result.get());
    const LiqResult top = resultOfColours(attr.get(), chosen), bottom = resultOfColours(attr.get(), chosen);
    if (!top || !bottom)
        return false;
    liq.set_dithering_level(top.get(), 1.0f);
    liq.set_dithering_level(bottom.get(), 1.0f);
    const std::int32_t half = cells.rows / 2;
    appendPalette(*liq.get_palette(top.get()), out.colours);
    const std::size_t bottomOffset = out.colours.size();
    appendPalette(*liq.get_palette(bottom.get()), out.colours);
    bool bottomDone = false;
    const auto remapBottom = [&] {
        bottomDone = remapRows(attr.get(), bottom.get(), cells, half, cells.rows - half, out, bottomOffset);
    };
    std::thread helper;
    try {
        helper = std::thread(remapBottom);
    } catch (const std::system_error &) {
        remapBottom();
    }
    const bool topDone = remapRows(attr.get(), top.get(), cells, 0, half, out, 0);
    if (helper.joinable())
        helper.join();
    return topDone && bottomDone;
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
        IndexedCells indexed = fewColours(cells.rgba, colours);
        if (indexed.colours.empty() && !imageQuantLibrary()) {
            Failure missing = Failure::of(Failure::Kind::CannotRead);
            missing.fileName = ImageQuantFileName;
            missing.error = ENOENT;
            return missing;
        }
        if (indexed.colours.empty() && !quantise(cells, colours, dither, indexed))
            return Failure::of(Failure::Kind::OutOfMemory);

        // Near-white colours become white; colours that meet count together.
        for (TColor &colour : indexed.colours)
            colour = whitened(colour);
        std::vector<std::int64_t> counts(indexed.colours.size());
        for (std::size_t i = 0; i < indexed.indices.size(); ++i) {
            const std::uint8_t index = indexed.indices[i];
            made.pattern.Cells[i] = indexed.colours[index];
            ++counts[index];
        }
        std::vector<std::pair<TColor, std::int64_t>> uses;
        for (std::size_t i = 0; i < counts.size(); ++i) {
            auto found = std::find_if(uses.begin(), uses.end(),
                [&](const auto &use) { return use.first == indexed.colours[i]; });
            if (found == uses.end())
                uses.emplace_back(indexed.colours[i], counts[i]);
            else
                found->second += counts[i];
        }
        std::erase_if(uses, [](const auto &use) { return use.first == White || use.second == 0; });
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
