#include "ui/PictureFile.h"

#include "ui/FileNames.h"
#include "ui/JpegReader.h"
#include "ui/Messages.h"
#include "ui/MetafileReader.h"

#include "model/RegularFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>

namespace {

// Larger files cannot hold a picture within the limits in any of these formats.
constexpr std::size_t MaxFileBytes = std::size_t(1) << 30;

// Qt shows a bitmap whose rows stop short as if the rest were black; an
// uncompressed bitmap must hold all its rows to count as read completely.
bool bitmapRowsComplete(const QByteArray &data)
{
    const auto u16 = [&data](qsizetype at) { return quint32(quint8(data[at])) | quint32(quint8(data[at + 1])) << 8; };
    const auto u32 = [&](qsizetype at) { return u16(at) | u16(at + 2) << 16; };
    if (data.size() < 26)
        return false;
    const std::int64_t bitsAt = u32(10);
    std::int64_t width = 0, height = 0, bits = 0, compression = 0;
    if (u32(14) == 12) {
        width = u16(18);
        height = u16(20);
        bits = u16(24);
    } else {
        if (data.size() < 34)
            return false;
        width = std::int32_t(u32(18));
        height = std::abs(std::int64_t(std::int32_t(u32(22))));
        bits = u16(28);
        compression = u32(30);
    }
    // Run-length data has no fixed size; its reader finds a short file itself.
    if (compression == 1 || compression == 2 || compression == 4 || compression == 5)
        return true;
    if (width <= 0 || bits <= 0 || bits > 64)
        return true; // not a usable header: the reader refuses it
    const std::int64_t rowBytes = (width * bits + 31) / 32 * 4;
    return bitsAt + rowBytes * height <= data.size();
}

// Qt's reader with the format named, never guessed, so content of another
// format is refused.
DecodedPicture readWithQt(const QByteArray &data, const char *format, const QString &error)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead())
        return DecodedPicture::failed(error);
    const QSize size = reader.size();
    if (size.isValid() && !pictureSizeAllowed(size.width(), size.height()))
        return DecodedPicture::tooLarge(size.width(), size.height());
    if (qstrcmp(format, "bmp") == 0 && !bitmapRowsComplete(data))
        return DecodedPicture::failed(error);
    DecodedPicture result;
    result.image = reader.read(); // an icon's first image
    if (result.image.isNull())
        return DecodedPicture::failed(error);
    // Some readers tell no size before decoding; the limit holds all the same.
    if (!pictureSizeAllowed(result.image.width(), result.image.height()))
        return DecodedPicture::tooLarge(result.image.width(), result.image.height());
    return result;
}

} // namespace

bool isPictureFileName(const QString &path)
{
    static const QStringList known { "bmp", "ico", "wmf", "emf", "jpg", "jpeg" };
    return known.contains(QFileInfo(path).suffix().toLower());
}

PictureFileResult readPictureFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    const QString format = suffix.toLower();
    if (!isPictureFileName(path))
        return { QImage(), Messages::UnknownPictureExtension(suffix) };

    const model::Outcome<std::string> read = model::ReadWholeFile(ModelFileName(path), MaxFileBytes);
    if (!read.ok())
        return { QImage(), FailureText(read.failure()) };
    const QByteArray data = QByteArray::fromRawData(read.value().data(), qsizetype(read.value().size()));

    DecodedPicture decoded;
    if (format == "bmp")
        decoded = readWithQt(data, "bmp", Messages::BitmapNotValid);
    else if (format == "ico")
        decoded = readWithQt(data, "ico", Messages::IconNotValid);
    else if (format == "wmf")
        decoded = decodeWmf(data);
    else if (format == "emf")
        decoded = decodeEmf(data);
    else
        decoded = decodeJpeg(data);

    if (decoded.tooLargeWidth > 0)
        return { QImage(), Messages::PictureTooLarge(path, decoded.tooLargeWidth, decoded.tooLargeHeight) };
    return { decoded.image, decoded.error };
}
