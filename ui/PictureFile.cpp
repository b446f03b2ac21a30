#include "ui/PictureFile.h"

#include "ui/BitmapReader.h"
#include "ui/FileNames.h"
#include "ui/JpegReader.h"
#include "ui/Messages.h"
#include "ui/MetafileReader.h"

#include "model/RegularFile.h"

#include <QBuffer>
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
        return { Picture(), Messages::UnknownPictureExtension(suffix) };

    const model::Outcome<std::string> read = model::ReadWholeFile(ModelFileName(path), maxFileBytes(format));
    if (!read.ok())
        return { Picture(), FailureText(read.failure()) };
    const QByteArray data = QByteArray::fromRawData(read.value().data(), qsizetype(read.value().size()));

    DecodedPicture decoded;
    if (format == "bmp")
        decoded = decodeBmp(data);
    else if (format == "ico")
        decoded = readWithQt(data, "ico", Messages::IconNotValid);
    else if (format == "wmf")
        decoded = decodeWmf(data);
    else if (format == "emf")
        decoded = decodeEmf(data);
    else
        decoded = decodeJpeg(data);

    if (decoded.tooLargeWidth > 0)
        return { Picture(), Messages::PictureTooLarge(path, decoded.tooLargeWidth, decoded.tooLargeHeight) };
    return { decoded.picture(), decoded.error };
}
