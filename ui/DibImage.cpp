#include "ui/DibImage.h"

#include "ui/PictureDecode.h"

#include <QBuffer>
#include <QImageReader>

namespace {

constexpr std::uint32_t CoreHeaderSize = 12;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t BiBitfields = 3;

struct DibLayout {
    std::uint64_t headerAndTable = 0; // bytes before the pixel rows
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::int64_t bitCount = 0;
    std::uint32_t compression = 0;
};

// Rows must all be there before anything is allocated for them. Run-length
// data has no fixed size, but even at its densest it cannot make more than
// a few thousand pixels of each byte.
bool bitsCover(const DibLayout &layout, std::uint64_t bitsSize)
{
    if (layout.bitCount <= 0 || layout.bitCount > 32)
        return false;
    const std::uint32_t BiRle8 = 1, BiRle4 = 2;
    if (layout.compression == BiRle8 || layout.compression == BiRle4)
        return std::uint64_t(layout.width * layout.height) <= 2048 * bitsSize;
    const std::int64_t rowBytes = (layout.width * layout.bitCount + 31) / 32 * 4;
    return std::uint64_t(rowBytes * layout.height) <= bitsSize;
}

bool dibLayout(const RecordBytes &header, DibLayout &layout)
{
    if (!header.has(0, 4))
        return false;
    const std::uint32_t headerSize = header.u32(0);
    if (headerSize == CoreHeaderSize) {
        if (!header.has(0, CoreHeaderSize))
            return false;
        const std::uint16_t bitCount = header.u16(10);
        layout.bitCount = bitCount;
        layout.width = header.u16(4);
        layout.height = header.u16(6);
        const std::uint64_t colours = bitCount <= 8 ? (std::uint64_t(1) << bitCount) : 0;
        layout.headerAndTable = CoreHeaderSize + colours * 3;
        return true;
    }
    if (headerSize < InfoHeaderSize || headerSize > 1024 || !header.has(0, headerSize))
        return false;
    layout.width = header.i32(4);
    layout.height = header.i32(8);
    if (layout.height < 0)
        layout.height = -layout.height;
    const std::uint16_t bitCount = header.u16(14);
    const std::uint32_t compression = header.u32(16);
    layout.bitCount = bitCount;
    layout.compression = compression;
    std::uint64_t colours = header.u32(32);
    if (colours == 0 && bitCount <= 8)
        colours = std::uint64_t(1) << bitCount;
    if (colours > 256 && bitCount <= 8)
        return false;
    std::uint64_t masks = (compression == BiBitfields && headerSize == InfoHeaderSize) ? 12 : 0;
    layout.headerAndTable = headerSize + masks + colours * 4;
    return true;
}

QImage readBmp(const QByteArray &file)
{
    QBuffer buffer;
    buffer.setData(file);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false);
    return reader.read();
}

QByteArray fileHeader(std::uint64_t fileSize, std::uint64_t bitsOffset)
{
    QByteArray header(14, '\0');
    auto put32 = [&header](int at, std::uint64_t value) {
        for (int i = 0; i < 4; ++i)
            header[at + i] = char((value >> (8 * i)) & 0xFF);
    };
    header[0] = 'B';
    header[1] = 'M';
    put32(2, fileSize);
    put32(10, bitsOffset);
    return header;
}

} // namespace

QImage decodeDib(const RecordBytes &header, const RecordBytes &bits)
{
    DibLayout layout;
    if (!dibLayout(header, layout) || !pictureSizeAllowed(layout.width, layout.height))
        return QImage();
    // The header range may stop short of its colour table; then the table is missing.
    if (layout.headerAndTable > header.size() || !bitsCover(layout, bits.size()))
        return QImage();
    QByteArray file = fileHeader(14 + layout.headerAndTable + bits.size(), 14 + layout.headerAndTable);
    file.append(reinterpret_cast<const char *>(header.data()), qsizetype(layout.headerAndTable));
    file.append(reinterpret_cast<const char *>(bits.data()), qsizetype(bits.size()));
    return readBmp(file);
}

QImage decodePackedDib(const RecordBytes &packed)
{
    DibLayout layout;
    if (!dibLayout(packed, layout) || !pictureSizeAllowed(layout.width, layout.height))
        return QImage();
    if (layout.headerAndTable > packed.size() || !bitsCover(layout, packed.size() - layout.headerAndTable))
        return QImage();
    QByteArray file = fileHeader(14 + packed.size(), 14 + layout.headerAndTable);
    file.append(reinterpret_cast<const char *>(packed.data()), qsizetype(packed.size()));
    return readBmp(file);
}
