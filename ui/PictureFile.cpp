#include "ui/PictureFile.h"

#include "ui/JpegReader.h"
#include "ui/MetafileReader.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

namespace {

// Larger files cannot hold a picture within the limits in any of these formats.
constexpr qint64 MaxFileBytes = qint64(1) << 30;

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
    return result;
}

} // namespace

PictureFileResult readPictureFile(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix();
    const QString format = suffix.toLower();
    static const QStringList known { "bmp", "ico", "wmf", "emf", "jpg", "jpeg" };
    if (!known.contains(format))
        return { QImage(), QStringLiteral("Unknown picture file extension (.%1)").arg(suffix) };

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return { QImage(), file.errorString() };
    if (file.size() > MaxFileBytes)
        return { QImage(), QStringLiteral("Рисунок в файле «%1» слишком велик").arg(path) };
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return { QImage(), file.errorString() };

    DecodedPicture decoded;
    if (format == "bmp")
        decoded = readWithQt(data, "bmp", QStringLiteral("Bitmap image is not valid"));
    else if (format == "ico")
        decoded = readWithQt(data, "ico", QStringLiteral("Icon image is not valid"));
    else if (format == "wmf")
        decoded = decodeWmf(data);
    else if (format == "emf")
        decoded = decodeEmf(data);
    else
        decoded = decodeJpeg(data);

    if (decoded.tooLargeWidth > 0)
        return { QImage(),
            QStringLiteral("Рисунок в файле «%1» слишком велик: %2 × %3")
                .arg(path)
                .arg(decoded.tooLargeWidth)
                .arg(decoded.tooLargeHeight) };
    return { decoded.image, decoded.error };
}
