// The bitmap reader against bitmaps written here field by field: every header
// version, depth and mask layout must give back the whole picture it encodes,
// and cut, overrunning or hostile files must be refused.
#include "picture/BitmapReader.h"
#include "ui/Messages.h"

#include <gtest/gtest.h>

#include <QtEndian>
#include <vector>

namespace {

struct BmpLayout {
    const char *label;
    quint32 headerSize;
    quint16 bits;
    quint32 compression = 0;
    std::vector<quint32> masks {}; // red, green, blue and maybe alpha
    bool topDown = false;
    quint32 paletteEntries = 0; // written and declared; 0 for none
};

// Six pure colours in an order no flip or axis swap preserves.
QImage asymmetric()
{
    QImage image(3, 2, QImage::Format_RGB32);
    const QRgb colours[] = { qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255), qRgb(255, 255, 255), qRgb(0, 0, 0),
        qRgb(255, 255, 0) };
    for (int i = 0; i < 6; ++i)
        image.setPixel(i % 3, i / 3, colours[i]);
    return image;
}

std::vector<QRgb> paletteOf(quint32 entries)
{
    // The picture's colours first; the rest of a long table is unused grey.
    std::vector<QRgb> palette;
    const QImage image = asymmetric();
    for (int i = 0; i < 6 && palette.size() < entries; ++i)
        palette.push_back(image.pixel(i % 3, i / 3));
    while (palette.size() < entries)
        palette.push_back(qRgb(128, 128, 128));
    return palette;
}

quint32 pixelValue(const BmpLayout &layout, QRgb colour, const std::vector<QRgb> &palette)
{
    if (layout.bits <= 8)
        return quint32(std::find(palette.begin(), palette.end(), colour) - palette.begin());
    const int channels[] = { qRed(colour), qGreen(colour), qBlue(colour), 255 };
    quint32 value = 0;
    for (std::size_t c = 0; c < layout.masks.size(); ++c)
        value |= channels[c] == 255 ? layout.masks[c] : 0;
    return value;
}

void put32(QByteArray &bytes, int at, quint32 value)
{
    qToLittleEndian(value, bytes.data() + at);
}

QByteArray craftBmp(const BmpLayout &layout, const QImage &image, QByteArray pixels = {})
{
    const bool core = layout.headerSize == 12;
    const std::vector<QRgb> palette = paletteOf(layout.paletteEntries);
    QByteArray header(int(layout.headerSize), '\0');
    put32(header, 0, layout.headerSize);
    if (core) {
        qToLittleEndian(quint16(image.width()), header.data() + 4);
        qToLittleEndian(quint16(image.height()), header.data() + 6);
        qToLittleEndian(quint16(1), header.data() + 8);
        qToLittleEndian(layout.bits, header.data() + 10);
    } else {
        put32(header, 4, quint32(image.width()));
        put32(header, 8, quint32(layout.topDown ? -image.height() : image.height()));
        qToLittleEndian(quint16(1), header.data() + 12);
        qToLittleEndian(layout.bits, header.data() + 14);
        put32(header, 16, layout.compression);
        put32(header, 32, layout.paletteEntries);
    }
    QByteArray masks;
    for (std::size_t i = 0; i < layout.masks.size(); ++i) {
        if (layout.headerSize >= 52)
            put32(header, int(40 + 4 * i), layout.masks[i]);
        else if (layout.compression != 0)
            masks.append(QByteArray(4, '\0')), put32(masks, int(4 * i), layout.masks[i]);
    }
    QByteArray table;
    for (const QRgb c : palette) {
        table.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
        if (!core)
            table.append('\0');
    }
    if (pixels.isEmpty()) {
        const int rowBytes = (image.width() * layout.bits + 31) / 32 * 4;
        for (int row = 0; row < image.height(); ++row) {
            QByteArray line(rowBytes, '\0');
            const int y = layout.topDown ? row : image.height() - 1 - row;
            for (int x = 0; x < image.width(); ++x) {
                const quint32 v = pixelValue(layout, image.pixel(x, y), palette);
                if (layout.bits < 8)
                    line[x * layout.bits / 8] = char(line[x * layout.bits / 8] | v << (8 - layout.bits - x * layout.bits % 8));
                else
                    for (int b = 0; b < layout.bits / 8; ++b)
                        line[x * layout.bits / 8 + b] = char(v >> (8 * b));
            }
            pixels += line;
        }
    }
    QByteArray file(14, '\0');
    file[0] = 'B';
    file[1] = 'M';
    const int pixelsAt = int(14 + header.size() + masks.size() + table.size());
    put32(file, 2, quint32(pixelsAt + pixels.size()));
    put32(file, 10, quint32(pixelsAt));
    return file + header + masks + table + pixels;
}

QImage decoded(const QByteArray &bytes)
{
    return decodeBmp(bytes).value().toImage().convertToFormat(QImage::Format_RGB32);
}

} // namespace

TEST(BitmapReader, EveryHeaderDepthAndMaskGivesBackThePicture)
{
    const QImage image = asymmetric();
    const BmpLayout layouts[] = {
        { "core header, 24 bits", 12, 24, 0, { 0xFF0000, 0x00FF00, 0x0000FF } },
        { "core header, 8-bit palette", 12, 8, 0, {}, false, 256 },
        { "info header, 24 bits, top-down", 40, 24, 0, { 0xFF0000, 0x00FF00, 0x0000FF }, true },
        { "8 bits, palette shorter than the depth", 40, 8, 0, {}, false, 6 },
        { "4 bits, top-down", 40, 4, 0, {}, true, 16 },
        { "16 bits, 5-5-5", 40, 16, 0, { 0x7C00, 0x03E0, 0x001F } },
        { "16 bits, masks 5-6-5 after the header", 40, 16, 3, { 0xF800, 0x07E0, 0x001F } },
        { "16 bits, 3-10-3 in a 52-byte header", 52, 16, 3, { 0xE000, 0x1FF8, 0x0007 } },
        { "32 bits, 11-11-10", 40, 32, 3, { 0xFFE00000, 0x001FFC00, 0x000003FF } },
        { "32 bits, 10-10-10-2 with alpha, 56 bytes", 56, 32, 3, { 0x3FF00000, 0x000FFC00, 0x000003FF, 0xC0000000 } },
        { "32 bits, 7-1-8-7 in a version 4 header", 108, 32, 3, { 0xFE000000, 0x01000000, 0x00FF0000, 0x0000FE00 } },
        { "32 bits, alpha bit fields, 40 bytes", 40, 32, 6, { 0x0000FF00, 0x00FF0000, 0xFF000000, 0x000000FF } },
        { "32 bits, version 5 header", 124, 32, 0, { 0xFF0000, 0x00FF00, 0x0000FF } },
    };
    // A field with no bits reads as zero.
    const QImage noBlue = decoded(craftBmp({ "", 40, 16, 3, { 0xF800, 0x07E0, 0 } }, image));
    EXPECT_EQ(noBlue.pixel(2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(noBlue.pixel(0, 1), qRgb(255, 255, 0));
    for (const BmpLayout &layout : layouts) {
        SCOPED_TRACE(layout.label);
        const PictureOutcome result = decodeBmp(craftBmp(layout, image));
        ASSERT_TRUE(result.ok()) << PictureFailureText(result.failure()).toStdString();
        EXPECT_EQ(result.value().toImage().convertToFormat(QImage::Format_RGB32), image);
    }
}

TEST(BitmapReader, RunLengthBitmapsAreReadAndCutOrOverrunningOnesRefused)
{
    const QImage image = asymmetric();
    const BmpLayout rle8Spec { "RLE8", 40, 8, 1, {}, false, 6 };
    const BmpLayout rle4Spec { "RLE4", 40, 4, 2, {}, false, 6 };
    // Palette indices: red 0, green 1, blue 2, white 3, black 4, yellow 5.
    // Bottom row first: a padded literal run, the row's end, encoded runs
    // (the four-bit one alternating two indices), the picture's end.
    const QByteArray eight = QByteArray::fromHex("0003030405000000" "010001010102" "0000" "0001");
    const QByteArray four = QByteArray::fromHex("000334500000" "01000212" "0000" "0001");
    EXPECT_EQ(decoded(craftBmp(rle8Spec, image, eight)), image);
    EXPECT_EQ(decoded(craftBmp(rle4Spec, image, four)), image);

    const QString invalid = Messages::BitmapNotValid;
    const struct {
        const char *label;
        QByteArray bytes;
    } refused[] = {
        { "cut after the first row", craftBmp(rle8Spec, image, eight.left(8)) },
        { "run past the row's end", craftBmp(rle8Spec, image, QByteArray::fromHex("0400" "0000" "0001")) },
        { "rows past the top", craftBmp(rle8Spec, image, QByteArray::fromHex("0000" "0000" "0000" "0103" "0001")) },
        { "jump past the picture", craftBmp(rle8Spec, image, QByteArray::fromHex("00020005" "0001")) },
        { "literal run cut short", craftBmp(rle8Spec, image, QByteArray::fromHex("000601")) },
        { "run-length rows top-down", craftBmp({ "", 40, 8, 1, {}, true, 6 }, image, eight) },
        { "uncompressed rows cut", craftBmp({ "", 40, 24 }, image).chopped(3) },
        { "PNG inside", craftBmp({ "", 40, 0, 5 }, image, "\x89PNG") },
        { "JPEG inside", craftBmp({ "", 40, 0, 4 }, image, "\xFF\xD8") },
        { "seven bits a pixel", craftBmp({ "", 40, 7 }, image, QByteArray(64, '\0')) },
        { "unknown header size", craftBmp({ "", 44, 24 }, image) },
        // Found by fuzzing: a header whose sizes overflowed a signed product.
        { "crafted 34 bytes", QByteArray::fromBase64("Qk1aAAAAAAAA/v///wA+AAAAIQAAbGwybGwAADEAAAAAAA==") },
    };
    for (const auto &c : refused) {
        SCOPED_TRACE(c.label);
        const PictureOutcome result = decodeBmp(c.bytes);
        EXPECT_EQ(result.ok() ? QString() : PictureFailureText(result.failure()), invalid);
    }
}
