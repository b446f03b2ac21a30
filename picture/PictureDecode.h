#pragma once
// What a picture reader gives back, and the size limits every reader applies
// before it decodes a single pixel.

#include "model/Outcome.h"

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
    // A metafile's recorded drawing rather than pixels.
    bool isDrawing() const { return m_drawing != nullptr; }
    // Paints the picture's part `area` (in picture pixels) at the same place.
    void paint(QPainter &painter, const QRect &area) const;
    QImage toImage() const;

private:
    QImage m_image;
    std::shared_ptr<const QPicture> m_drawing;
    QSize m_size;
};

// Why a picture was not read. The readers word nothing: ui/Messages.cpp turns
// a failure into the text of the error report.
struct PictureFailure {
    enum class Kind {
        Model, // in the model's terms: unreadable, over its size limit, or too large a picture
        UnknownExtension, // suffix names no reader
        BitmapNotValid,
        IconNotValid,
        MetafileNotValid,
        JpegError, // jpegCode is the library's message code
    };
    Kind kind = Kind::Model;
    model::Failure model;
    int jpegCode = 0;
    QString suffix;

    static PictureFailure of(Kind kind)
    {
        PictureFailure failure;
        failure.kind = kind;
        return failure;
    }
    static PictureFailure ofModel(model::Failure model)
    {
        PictureFailure failure;
        failure.model = std::move(model);
        return failure;
    }
    // Width and height as the header gives them; the file name is added by
    // the one who knows it.
    static PictureFailure tooLarge(std::int64_t width, std::int64_t height)
    {
        return ofModel(model::Failure::tooLarge(width, height));
    }
    static PictureFailure jpeg(int code)
    {
        PictureFailure failure = of(Kind::JpegError);
        failure.jpegCode = code;
        return failure;
    }
    bool isTooLarge() const { return kind == Kind::Model && model.kind == model::Failure::Kind::TooLarge; }
};

using PictureOutcome = model::Outcome<Picture, PictureFailure>;
