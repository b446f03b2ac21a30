#include "picture/BitmapReader.h"

#include "model/LittleEndian.h"

#include <algorithm>
#include <array>
#include <bit>
#include <vector>

namespace {

constexpr std::uint64_t FileHeaderSize = 14;
constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t Os2ShortHeaderSize = 16;
constexpr std::uint32_t Os2HeaderSize = 64;

enum Compression : std::uint32_t {
    BiRgb = 0,
    BiRle8 = 1,
    BiRle4 = 2,
    BiBitfields = 3,
    BiJpeg = 4,
    BiPng = 5,
    BiAlphaBitfields = 6,
};

enum Channel { Red, Green, Blue, Alpha };

struct DibHeader {
    std::int64_t width = 0;
    std::int64_t height = 0;
    bool topDown = false;
    unsigned bitCount = 0;
    std::uint32_t compression = BiRgb;
    std::array<std::uint32_t, 4> masks {};
    std::uint64_t tableAt = 0; // the colour table, after the header and any separate masks
    std::uint64_t tableEntries = 0; // as the header declares them; the file may hold fewer
    std::uint64_t entrySize = 4;
};

enum class HeaderStatus { Usable, Invalid, TooLarge };

bool validDepth(unsigned bits)
{
    return bits == 1 || bits == 2 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool knownInfoHeader(std::uint32_t size)
{
    return size == Os2ShortHeaderSize || size == InfoHeaderSize || size == 52 || size == 56 || size == Os2HeaderSize
        || size == 108 || size == 124;
}

HeaderStatus readCoreHeader(const RecordBytes &b, DibHeader &h)
{
    if (!b.has(0, CoreHeaderSize))
        return HeaderStatus::Invalid;
    h.width = b.u16(4);
    h.height = b.u16(6);
    h.bitCount = b.u16(10);
    h.tableAt = CoreHeaderSize;
    h.entrySize = 3;
    h.tableEntries = h.bitCount <= 8 ? std::uint64_t(1) << h.bitCount : 0;
    return HeaderStatus::Usable;
}

HeaderStatus readInfoHeader(const RecordBytes &b, std::uint32_t size, DibHeader &h)
{
    if (!knownInfoHeader(size) || !b.has(0, size))
        return HeaderStatus::Invalid;
    h.width = b.i32(4);
    const std::int64_t height = b.i32(8);
    h.topDown = height < 0;
    h.height = height < 0 ? -height : height;
    h.bitCount = b.u16(14);
    h.compression = size >= 20 ? b.u32(16) : BiRgb;
    const std::uint64_t used = size >= 36 ? b.u32(32) : 0;
    h.tableAt = size;
    const bool os2 = size == Os2ShortHeaderSize || size == Os2HeaderSize;
    // OS/2 gives these two numbers to Huffman and 24-bit run-length coding.
    if (os2 && (h.compression == BiBitfields || h.compression == BiJpeg))
        return HeaderStatus::Invalid;
    if (h.compression == BiBitfields || h.compression == BiAlphaBitfields) {
        const std::uint64_t count = h.compression == BiAlphaBitfields ? 4 : 3;
        // Newer headers hold the masks; the 40-byte one has them after it.
        const bool inHeader = size >= 52;
        const std::uint64_t at = inHeader ? InfoHeaderSize : size;
        if (!b.has(at, count * 4))
            return HeaderStatus::Invalid;
        for (std::uint64_t i = 0; i < count; ++i)
            h.masks[i] = b.u32(at + 4 * i);
        if (inHeader && size >= 56)
            h.masks[Alpha] = b.u32(InfoHeaderSize + 12);
        if (!inHeader)
            h.tableAt += count * 4;
    }
    h.tableEntries = used != 0 ? used : h.bitCount <= 8 ? std::uint64_t(1) << h.bitCount : 0;
    return HeaderStatus::Usable;
}

HeaderStatus readHeader(const RecordBytes &b, DibHeader &h)
{
    if (!b.has(0, 4))
        return HeaderStatus::Invalid;
    const std::uint32_t size = b.u32(0);
    const HeaderStatus read = size == CoreHeaderSize ? readCoreHeader(b, h) : readInfoHeader(b, size, h);
    if (read != HeaderStatus::Usable || h.width <= 0 || h.height <= 0 || !validDepth(h.bitCount))
        return HeaderStatus::Invalid;
    switch (h.compression) {
    case BiRgb:
        break;
    case BiRle8:
    case BiRle4:
        // Run-length rows always start at the bottom.
        if (h.topDown || h.bitCount != (h.compression == BiRle8 ? 8u : 4u))
            return HeaderStatus::Invalid;
        break;
    case BiBitfields:
    case BiAlphaBitfields:
        if (h.bitCount != 16 && h.bitCount != 32)
            return HeaderStatus::Invalid;
        break;
    default: // JPEG or PNG inside, or unknown
        return HeaderStatus::Invalid;
    }
    if (h.compression == BiRgb && h.bitCount == 16)
        h.masks = { 0x7C00, 0x03E0, 0x001F, 0 };
    else if (h.compression == BiRgb && h.bitCount >= 24)
        h.masks = { 0xFF0000, 0x00FF00, 0x0000FF, 0 };
    // A palette beyond what its indices can reach is skipped, not refused.
    if (h.tableEntries > 0xFFFFFFFFu)
        return HeaderStatus::Invalid;
    return pictureSizeAllowed(h.width, h.height) ? HeaderStatus::Usable : HeaderStatus::TooLarge;
}

// Colours the indices of a palette bitmap name; an index past a short table is black.
std::vector<QRgb> readPalette(const DibHeader &h, const RecordBytes &table)
{
    std::vector<QRgb> palette(h.bitCount <= 8 ? std::size_t(1) << h.bitCount : 0, qRgb(0, 0, 0));
    const std::uint64_t available = table.size() / h.entrySize;
    const std::uint64_t count = std::min<std::uint64_t>({ h.tableEntries, available, palette.size() });
    for (std::uint64_t i = 0; i < count; ++i) {
        const std::uint64_t at = i * h.entrySize;
        palette[i] = qRgb(table.u8(at + 2), table.u8(at + 1), table.u8(at));
    }
    return palette;
}

// One mask field scaled to 8 bits through a table; wide fields keep their top 16 bits.
class MaskField {
public:
    explicit MaskField(std::uint32_t mask)
        : m_mask(mask)
    {
        if (mask == 0) { // a missing field reads as zero
            m_table = { 0 };
            return;
        }
        m_shift = std::countr_zero(mask);
        std::uint32_t top = mask >> m_shift;
        m_drop = std::max(0, int(std::bit_width(top)) - 16);
        top >>= m_drop;
        m_table.resize(std::size_t(top) + 1);
        for (std::uint32_t v = 0; v <= top; ++v)
            m_table[v] = uchar((std::uint64_t(v) * 255 + top / 2) / top);
    }
    bool present() const { return m_mask != 0; }
    uchar operator()(std::uint32_t pixel) const { return m_table[((pixel & m_mask) >> m_shift) >> m_drop]; }

private:
    std::uint32_t m_mask;
    int m_shift = 0;
    int m_drop = 0;
    std::vector<uchar> m_table;
};

std::uint64_t rowBytes(const DibHeader &h)
{
    return (std::uint64_t(h.width) * h.bitCount + 31) / 32 * 4;
}

void decodeRows(const DibHeader &h, const std::vector<QRgb> &palette, const RecordBytes &bits, QImage &image)
{
    const std::uint64_t stride = rowBytes(h);
    const MaskField red(h.masks[Red]), green(h.masks[Green]), blue(h.masks[Blue]), alpha(h.masks[Alpha]);
    const bool plainTrueColour = h.compression == BiRgb && h.bitCount >= 24;
    for (std::int64_t row = 0; row < h.height; ++row) {
        const unsigned char *in = bits.data() + std::uint64_t(row) * stride;
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(int(h.topDown ? row : h.height - 1 - row)));
        for (std::int64_t x = 0; x < h.width; ++x) {
            if (h.bitCount <= 8) {
                const std::uint64_t bit = std::uint64_t(x) * h.bitCount;
                const unsigned shift = 8 - h.bitCount - unsigned(bit % 8);
                out[x] = palette[(in[bit / 8] >> shift) & ((1u << h.bitCount) - 1)];
            } else if (plainTrueColour) {
                const unsigned char *p = in + std::uint64_t(x) * (h.bitCount / 8);
                out[x] = qRgb(p[2], p[1], p[0]);
            } else {
                const unsigned char *p = in + std::uint64_t(x) * (h.bitCount / 8);
                const std::uint32_t v = h.bitCount == 32 ? model::ReadLittle32(p) : model::ReadLittle16(p);
                out[x] = qRgba(red(v), green(v), blue(v), alpha.present() ? alpha(v) : 255);
            }
        }
    }
}

// Run-length rows: a file cut before its end, a run past its row or a jump
// past the picture is refused rather than shown with a made-up remainder.
bool decodeRunLength(const DibHeader &h, const std::vector<QRgb> &palette, const RecordBytes &bits, QImage &image)
{
    image.fill(palette[0]);
    const bool four = h.compression == BiRle4;
    const unsigned char *d = bits.data();
    const std::uint64_t size = bits.size();
    std::int64_t x = 0, y = 0; // y counts rows from the bottom
    const auto put = [&](std::int64_t count, auto indexAt) {
        // Four-bit runs fill whole bytes, so an odd row may end half a byte over.
        const std::int64_t room = four ? (h.width + 1) / 2 * 2 : h.width;
        if (y >= h.height || x + count > room)
            return false;
        auto *out = reinterpret_cast<QRgb *>(image.scanLine(int(h.height - 1 - y)));
        for (std::int64_t i = 0; i < count; ++i, ++x) {
            if (x < h.width)
                out[x] = palette[indexAt(i)];
        }
        return true;
    };
    std::uint64_t pos = 0;
    for (;;) {
        if (size - pos < 2)
            return y >= h.height; // no end marker, but every row was closed
        const unsigned count = d[pos], code = d[pos + 1];
        pos += 2;
        if (count > 0) {
            const auto index = [&](std::int64_t i) { return four ? (i % 2 ? code & 0x0F : code >> 4) : code; };
            if (!put(count, index))
                return false;
            continue;
        }
        if (code == 0) { // end of row
            x = 0;
            if (++y > h.height)
                return false;
        } else if (code == 1) { // end of picture
            return true;
        } else if (code == 2) { // jump
            if (size - pos < 2)
                return false;
            x += d[pos];
            y += d[pos + 1];
            pos += 2;
            if (x > h.width || y > h.height)
                return false;
        } else { // literal pixels, padded to a whole word
            const std::uint64_t bytes = four ? (code + 1) / 2 : code;
            const std::uint64_t padded = (bytes + 1) / 2 * 2;
            if (size - pos < padded)
                return false;
            const unsigned char *literal = d + pos;
            const auto index = [&](std::int64_t i) {
                return four ? (i % 2 ? literal[i / 2] & 0x0F : literal[i / 2] >> 4) : literal[i];
            };
            if (!put(code, index))
                return false;
            pos += padded;
        }
    }
}

// An alpha mask whose every value is zero marks a picture that never used it.
void dropUnusedAlpha(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        if (std::any_of(line, line + image.width(), [](QRgb p) { return qAlpha(p) != 0; }))
            return;
    }
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        std::transform(line, line + image.width(), line, [](QRgb p) { return p | 0xFF000000u; });
    }
    image = std::move(image).convertToFormat(QImage::Format_RGB32);
}

QImage decodePixels(const DibHeader &h, const RecordBytes &table, const RecordBytes &bits)
{
    const bool runLength = h.compression == BiRle8 || h.compression == BiRle4;
    // Uncompressed rows must all be there before the picture is allocated.
    if (!runLength && rowBytes(h) * std::uint64_t(h.height) > bits.size())
        return QImage();
    const bool hasAlpha = h.masks[Alpha] != 0;
    QImage image(int(h.width), int(h.height), hasAlpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (image.isNull())
        return QImage();
    const std::vector<QRgb> palette = readPalette(h, table);
    if (!runLength)
        decodeRows(h, palette, bits, image);
    else if (!decodeRunLength(h, palette, bits, image))
        return QImage();
    if (hasAlpha)
        dropUnusedAlpha(image);
    return image;
}

// A header read that does not fit makes the bitmap unusable, not the
// metafile that holds it.
HeaderStatus readHeaderSafely(const RecordBytes &b, DibHeader &h)
{
    bool fault = false;
    const HeaderStatus status = readHeader(RecordBytes(b.data(), b.size(), fault), h);
    return fault ? HeaderStatus::Invalid : status;
}

} // namespace

PictureOutcome decodeBmp(const QByteArray &data)
{
    bool fault = false;
    const RecordBytes file(
        reinterpret_cast<const unsigned char *>(data.constData()), std::uint64_t(data.size()), fault);
    if (!file.has(0, FileHeaderSize) || file.u8(0) != 'B' || file.u8(1) != 'M')
        return PictureFailure::of(PictureFailure::Kind::BitmapNotValid);
    const RecordBytes dib = file.slice(FileHeaderSize, file.size() - FileHeaderSize);
    DibHeader h;
    const HeaderStatus status = readHeaderSafely(dib, h);
    if (status == HeaderStatus::TooLarge)
        return PictureFailure::tooLarge(h.width, h.height);
    if (status != HeaderStatus::Usable || h.tableAt > dib.size())
        return PictureFailure::of(PictureFailure::Kind::BitmapNotValid);
    // The pixels start where the file header says; writers that leave it at
    // zero put them straight after the colour table.
    std::uint64_t pixelsAt = file.u32(10);
    if (pixelsAt < FileHeaderSize + h.tableAt)
        pixelsAt = FileHeaderSize + std::min(h.tableAt + h.tableEntries * h.entrySize, dib.size());
    if (pixelsAt > file.size())
        return PictureFailure::of(PictureFailure::Kind::BitmapNotValid);
    const RecordBytes table = file.slice(FileHeaderSize + h.tableAt, pixelsAt - FileHeaderSize - h.tableAt);
    QImage image = decodePixels(h, table, file.slice(pixelsAt, file.size() - pixelsAt));
    if (image.isNull())
        return PictureFailure::of(PictureFailure::Kind::BitmapNotValid);
    return Picture(std::move(image));
}

QImage decodeDib(const RecordBytes &header, const RecordBytes &bits)
{
    DibHeader h;
    if (readHeaderSafely(header, h) != HeaderStatus::Usable || h.tableAt > header.size())
        return QImage();
    return decodePixels(h, header.slice(h.tableAt, header.size() - h.tableAt), bits);
}

QImage decodePackedDib(const RecordBytes &packed)
{
    DibHeader h;
    if (readHeaderSafely(packed, h) != HeaderStatus::Usable)
        return QImage();
    const std::uint64_t bitsAt = h.tableAt + h.tableEntries * h.entrySize;
    if (bitsAt > packed.size())
        return QImage();
    return decodePixels(h, packed.slice(h.tableAt, bitsAt - h.tableAt), packed.slice(bitsAt, packed.size() - bitsAt));
}
