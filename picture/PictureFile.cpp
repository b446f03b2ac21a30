#include "picture/PictureFile.h"

#include "picture/BitmapReader.h"
#include "picture/JpegReader.h"
#include "picture/MetafileReader.h"

#include "model/RegularFile.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

// Larger files than these cannot hold a picture within the size limits, so
// they are refused before a byte is read. A bitmap needs its headers and at
// most four bytes a pixel; an icon adds its mask and directory. JPEG and
// metafiles have no fixed bytes a pixel: a photograph at the highest quality
// stays below four, and the largest bitmap a metafile can hold is the limit.
constexpr std::uint64_t LargestPixelBytes = 4 * std::uint64_t(MaxPicturePixels);
constexpr std::uint64_t MaxBitmapFileBytes = MaxBitmapHeaderBytes + LargestPixelBytes;
constexpr std::uint64_t MaxIconFileBytes = MaxBitmapFileBytes + std::uint64_t(MaxPicturePixels) / 8 + 65536;
constexpr std::uint64_t MaxJpegFileBytes = LargestPixelBytes;
constexpr std::uint64_t MaxMetafileBytes = LargestPixelBytes + (std::uint64_t(1) << 20);

std::uint64_t maxFileBytes(const QString &format)
{
    if (format == "bmp")
        return MaxBitmapFileBytes;
    if (format == "ico")
        return MaxIconFileBytes;
    if (format == "wmf" || format == "emf")
        return MaxMetafileBytes;
    return MaxJpegFileBytes;
}

// Qt's reader with the format named, never guessed, so content of another
// format is refused.
PictureOutcome readWithQt(const QByteArray &data, const char *format, PictureFailure::Kind invalid)
{
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    if (!reader.canRead())
        return PictureFailure::of(invalid);
    const QSize size = reader.size();
    if (size.isValid() && !pictureSizeAllowed(size.width(), size.height()))
        return PictureFailure::tooLarge(size.width(), size.height());
    QImage image = reader.read(); // an icon's first image
    if (image.isNull())
        return PictureFailure::of(invalid);
    // Some readers tell no size before decoding; the limit holds all the same.
    if (!pictureSizeAllowed(image.width(), image.height()))
        return PictureFailure::tooLarge(image.width(), image.height());
    return Picture(std::move(image));
}

PictureOutcome decode(const QByteArray &data, const QString &format)
{
    if (format == "bmp")
        return decodeBmp(data);
    if (format == "ico")
        return readWithQt(data, "ico", PictureFailure::Kind::IconNotValid);
    if (format == "wmf")
        return decodeWmf(data);
    if (format == "emf")
        return decodeEmf(data);
    return decodeJpeg(data);
}

} // namespace

bool isPictureFileName(const QString &path)
{
    static const QStringList known { "bmp", "ico", "wmf", "emf", "jpg", "jpeg" };
    return known.contains(QFileInfo(path).suffix().toLower());
}

PictureOutcome readPictureFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    const QString format = suffix.toLower();
    if (!isPictureFileName(path)) {
        PictureFailure unknown = PictureFailure::of(PictureFailure::Kind::UnknownExtension);
        unknown.suffix = suffix;
        return unknown;
    }

    const std::string fileName = QFile::encodeName(path).toStdString();
    const model::Outcome<std::string> read = model::ReadWholeFile(fileName, maxFileBytes(format));
    if (!read.ok())
        return PictureFailure::ofModel(read.failure());
    const QByteArray data = QByteArray::fromRawData(read.value().data(), qsizetype(read.value().size()));

    PictureOutcome decoded = decode(data, format);
    if (!decoded.ok() && decoded.failure().isTooLarge()) {
        PictureFailure tooLarge = decoded.failure();
        tooLarge.model.fileName = fileName;
        return tooLarge;
    }
    return decoded;
}
