#pragma once
// What a picture reader gives back, and the size limits every reader applies
// before it decodes a single pixel.

#include <QImage>
#include <QPicture>
#include <QSize>
#include <QString>
#include <cstdint>
#include <memory>

inline constexpr std::int64_t MaxPictureSide = 16384;
inline constexpr std::int64_t MaxPicturePixels = std::int64_t(1) << 26;

// The largest headers, masks and colour table a bitmap file can carry before
// its pixels; a file may hold these plus four bytes a pixel at the size limit.
inline constexpr std::uint64_t MaxBitmapHeaderBytes = 14 + 124 + 16 + 256 * 4;

// Widths and heights come straight from file headers, so they are taken as
// 64-bit values and compared before anything is allocated.
inline bool pictureSizeAllowed(std::int64_t width, std::int64_t height)
{
    return width > 0 && height > 0 && width <= MaxPictureSide && height <= MaxPictureSide
        && width * height <= MaxPicturePixels;
}

// What the picture window shows: pixels, or for a metafile its recorded
// drawing, which costs only the part that is painted and no raster of the
// whole natural size.
class Picture {
public:
    Picture() = default;
    explicit Picture(QImage image)
        : m_image(std::move(image))
        , m_size(m_image.size())
    {
    }
    Picture(std::shared_ptr<const QPicture> drawing, QSize size)
        : m_drawing(std::move(drawing))
        , m_size(size)
    {
    }
    QSize size() const { return m_size; }
    bool isNull() const { return m_size.isEmpty(); }
    // Paints the picture's part `area` (in picture pixels) at the same place.
    void paint(QPainter &painter, const QRect &area) const;
    QImage toImage() const;

private:
    QImage m_image;
    std::shared_ptr<const QPicture> m_drawing;
    QSize m_size;
};

struct DecodedPicture {
    QImage image;
    // A metafile's drawing instead of an image, with its natural size.
    std::shared_ptr<const QPicture> drawing;
    QSize drawingSize;
    // The reader's own message when the file is not of its format.
    QString error;
    // Set instead when the picture would be too large to decode.
    std::int64_t tooLargeWidth = 0;
    std::int64_t tooLargeHeight = 0;

    bool ok() const { return error.isEmpty() && tooLargeWidth == 0; }
    Picture picture() const { return drawing ? Picture(drawing, drawingSize) : Picture(image); }
    static DecodedPicture failed(const QString &text)
    {
        DecodedPicture result;
        result.error = text;
        return result;
    }
    static DecodedPicture tooLarge(std::int64_t width, std::int64_t height)
    {
        DecodedPicture result;
        result.tooLargeWidth = width;
        result.tooLargeHeight = height;
        return result;
    }
};
