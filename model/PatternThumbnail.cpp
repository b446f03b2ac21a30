#include "model/PatternThumbnail.h"

#include "model/PatternFile.h"
#include "model/RegularFile.h"

#include <algorithm>
#include <bit>
#include <span>
#include <tuple>

namespace model {

namespace {

// A row up to this many bytes is read in one go; wider rows are read cell by cell.
constexpr std::size_t WholeRowLimit = std::size_t(1) << 20;

// The source index of each of `count` pixels spread over `cells` cells.
std::vector<std::int64_t> nearestCells(int count, std::int64_t cells)
{
    std::vector<std::int64_t> picks(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        picks[std::size_t(i)] = std::min(cells - 1, (2 * std::int64_t(i) + 1) * cells / (2 * std::int64_t(count)));
    return picks;
}

TColor fromFileOrder(TColor cell)
{
    if constexpr (std::endian::native == std::endian::big)
        return __builtin_bswap32(cell);
    return cell;
}

} // namespace

std::pair<int, int> ThumbnailSize(std::int64_t stitchCount, std::int64_t rowCount, int size)
{
    const std::int64_t longer = std::max(stitchCount, rowCount);
    // A small pattern grows by whole pixels, so every cell comes out the same size.
    if (longer <= size) {
        const std::int64_t cell = size / longer;
        return { int(stitchCount * cell), int(rowCount * cell) };
    }
    const auto fit = [&](std::int64_t count) {
        return int(std::clamp<std::int64_t>((count * size + longer / 2) / longer, 1, size));
    };
    return { fit(stitchCount), fit(rowCount) };
}

Outcome<Thumbnail> PatternThumbnail(const std::string &fileName, int size)
{
    size = std::clamp(size, 1, MaxThumbnailSize);
    const Outcome<ReadableFile> opened = ReadableFile::open(fileName);
    if (!opened.ok())
        return opened.failure();
    const ReadableFile &file = opened.value();
    const Outcome<PatternFileHeader> header = ReadPatternFileHeader(file);
    if (!header.ok())
        return header.failure();
    const std::int64_t stitches = header.value().stitchCount;
    const std::int64_t rows = header.value().rowCount;

    Thumbnail thumbnail;
    std::tie(thumbnail.width, thumbnail.height) = ThumbnailSize(stitches, rows, size);
    thumbnail.pixels.resize(std::size_t(thumbnail.width) * std::size_t(thumbnail.height));
    const std::vector<std::int64_t> columns = nearestCells(thumbnail.width, stitches);
    const std::vector<std::int64_t> sourceRows = nearestCells(thumbnail.height, rows);
    const bool wholeRows = std::size_t(stitches) * 4 <= WholeRowLimit;
    std::vector<TColor> row(wholeRows ? std::size_t(stitches) : 1);

    TColor *out = thumbnail.pixels.data();
    std::int64_t rowInBuffer = -1;
    for (const std::int64_t r : sourceRows) {
        const std::uint64_t rowStart = header.value().cellOffset + std::uint64_t(r) * std::uint64_t(stitches) * 4;
        if (wholeRows && r != rowInBuffer) {
            const Outcome<std::size_t> got = file.readAt(std::as_writable_bytes(std::span(row)), rowStart);
            if (!got.ok())
                return got.failure();
            if (got.value() < row.size() * 4)
                return Failure::of(Failure::Kind::Damaged, fileName);
            rowInBuffer = r;
        }
        for (const std::int64_t s : columns) {
            TColor cell;
            if (wholeRows) {
                cell = row[std::size_t(s)];
            } else {
                const Outcome<std::size_t> got
                    = file.readAt(std::as_writable_bytes(std::span(&cell, 1)), rowStart + std::uint64_t(s) * 4);
                if (!got.ok())
                    return got.failure();
                if (got.value() < 4)
                    return Failure::of(Failure::Kind::Damaged, fileName);
            }
            *out++ = fromFileOrder(cell);
        }
    }
    return thumbnail;
}

} // namespace model
