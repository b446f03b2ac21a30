#pragma once
// What a picture reader gives back, and the size limits every reader applies
// before it decodes a single pixel.

#include <QImage>
#include <QSize>
#include <QString>
#include <cstdint>

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

struct DecodedPicture {
    QImage image;
    // The reader's own message when the file is not of its format.
    QString error;
    // Set instead when the picture would be too large to decode.
    std::int64_t tooLargeWidth = 0;
    std::int64_t tooLargeHeight = 0;

    bool ok() const { return error.isEmpty() && tooLargeWidth == 0; }
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
