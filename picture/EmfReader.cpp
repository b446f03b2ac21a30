#include "picture/BitmapReader.h"
#include "picture/MetafileCanvas.h"
#include "picture/MetafileObjects.h"
#include "picture/MetafileReader.h"
#include "picture/MetafileText.h"

#include <uemf.h>

#include <cmath>
#include <cstddef>
#include <optional>

namespace {

constexpr std::uint64_t MinHeaderSize = offsetof(U_EMRHEADER, cbPixelFormat);
constexpr std::size_t MaxHandles = 65536;
// The world transform's replacing mode, which libUEMF leaves unnamed.
constexpr std::uint32_t MwtSet = 4;

struct EmfHeader {
    QRectF frame; // device pixels
    std::int64_t width = 0;
    std::int64_t height = 0;
    double pixelsPerMmX = 96 / 25.4;
    double pixelsPerMmY = 96 / 25.4;
    std::size_t handles = 1;
};

QRectF readRect(const RecordBytes &r, std::uint64_t at)
{
    return QRectF(QPointF(r.i32(at), r.i32(at + 4)), QPointF(r.i32(at + 8), r.i32(at + 12)));
}
QPointF readPoint(const RecordBytes &r, std::uint64_t at)
{
    return QPointF(r.i32(at), r.i32(at + 4));
}

EmfHeader readHeader(const RecordBytes &file)
{
    file.require(0, MinHeaderSize);
    if (file.u32(0) != U_EMR_HEADER || file.u32(offsetof(U_EMRHEADER, dSignature)) != U_ENHMETA_SIGNATURE)
        throw MetafileInvalid();
    const std::uint64_t headerSize = file.u32(4);
    if (headerSize < MinHeaderSize)
        throw MetafileInvalid();
    file.require(0, headerSize);
    EmfHeader header;
    const double deviceX = file.i32(offsetof(U_EMRHEADER, szlDevice));
    const double deviceY = file.i32(offsetof(U_EMRHEADER, szlDevice) + 4);
    const double mmX = file.i32(offsetof(U_EMRHEADER, szlMillimeters));
    const double mmY = file.i32(offsetof(U_EMRHEADER, szlMillimeters) + 4);
    if (deviceX > 0 && deviceY > 0 && mmX > 0 && mmY > 0) {
        header.pixelsPerMmX = deviceX / mmX;
        header.pixelsPerMmY = deviceY / mmY;
    }
    // The frame is in hundredths of a millimetre; the bounds, in device pixels, stand in for an empty one.
    const QRectF frame = readRect(file, offsetof(U_EMRHEADER, rclFrame));
    const QRectF bounds = readRect(file, offsetof(U_EMRHEADER, rclBounds));
    if (frame.width() > 0 && frame.height() > 0) {
        header.width = std::llround(std::min(frame.width() * 96 / 2540, 1e12));
        header.height = std::llround(std::min(frame.height() * 96 / 2540, 1e12));
        header.frame
            = QRectF(QPointF(frame.left() / 100 * header.pixelsPerMmX, frame.top() / 100 * header.pixelsPerMmY),
                QPointF(frame.right() / 100 * header.pixelsPerMmX, frame.bottom() / 100 * header.pixelsPerMmY));
    } else if (bounds.width() >= 0 && bounds.height() >= 0) {
        header.width = std::int64_t(bounds.width()) + 1;
        header.height = std::int64_t(bounds.height()) + 1;
        header.frame = bounds.adjusted(0, 0, 1, 1);
    }
    if (header.width <= 0 || header.height <= 0)
        throw MetafileInvalid();
    header.handles = std::clamp<std::size_t>(file.u16(offsetof(U_EMRHEADER, nHandles)), 1, MaxHandles);
    return header;
}


class EmfPlayer {
public:
    EmfPlayer(MetafileCanvas &canvas, std::size_t handles)
        : m_canvas(canvas)
        , m_objects(handles)
    {
    }
    // False after the end-of-file record.
    bool play(std::uint32_t type, const RecordBytes &r);

private:
    QPolygonF points32(const RecordBytes &r, std::uint64_t at, std::uint64_t count) const
    {
        r.requireArray(at, count, 8);
        QPolygonF result;
        result.reserve(qsizetype(count));
        for (std::uint64_t i = 0; i < count; ++i)
            result.append(readPoint(r, at + 8 * i));
        return result;
    }
    QPolygonF points16(const RecordBytes &r, std::uint64_t at, std::uint64_t count) const
    {
        r.requireArray(at, count, 4);
        QPolygonF result;
        result.reserve(qsizetype(count));
        for (std::uint64_t i = 0; i < count; ++i)
            result.append(QPointF(r.i16(at + 4 * i), r.i16(at + 4 * i + 2)));
        return result;
    }
    QPolygonF poly(const RecordBytes &r, bool small) const
    {
        static_assert(offsetof(U_EMRPOLYBEZIER, cptl) == offsetof(U_EMRPOLYBEZIER16, cpts));
        const std::uint64_t count = r.u32(offsetof(U_EMRPOLYBEZIER, cptl));
        return small ? points16(r, offsetof(U_EMRPOLYBEZIER16, apts), count)
                     : points32(r, offsetof(U_EMRPOLYBEZIER, aptl), count);
    }
    std::vector<QPolygonF> polyPoly(const RecordBytes &r, bool small) const;
    void select(std::uint32_t index);
    // The wide form holds UTF-16; the ANSI form, bytes in the font's character set.
    void text(const RecordBytes &r, bool wide);
    void bitmap(std::uint32_t type, const RecordBytes &r);

    MetafileCanvas &m_canvas;
    MetafileObjectTable m_objects;
};

std::vector<QPolygonF> EmfPlayer::polyPoly(const RecordBytes &r, bool small) const
{
    const std::uint64_t polygons = r.u32(offsetof(U_EMRPOLYPOLYLINE, nPolys));
    const std::uint64_t total = r.u32(offsetof(U_EMRPOLYPOLYLINE, cptl));
    const std::uint64_t countsAt = offsetof(U_EMRPOLYPOLYLINE, aPolyCounts);
    r.requireArray(countsAt, polygons, 4);
    std::uint64_t sum = 0;
    for (std::uint64_t i = 0; i < polygons; ++i)
        sum += r.u32(countsAt + 4 * i);
    // The counts must add up to no more than the points the record holds.
    if (sum > total)
        throw MetafileInvalid();
    std::uint64_t at = countsAt + polygons * 4;
    r.requireArray(at, total, small ? 4 : 8);
    std::vector<QPolygonF> shapes;
    for (std::uint64_t i = 0; i < polygons; ++i) {
        const std::uint64_t count = r.u32(countsAt + 4 * i);
        shapes.push_back(small ? points16(r, at, count) : points32(r, at, count));
        at += count * (small ? 4 : 8);
    }
    return shapes;
}

void EmfPlayer::select(std::uint32_t index)
{
    if (index & U_STOCK_OBJECT)
        m_canvas.selectStockObject(index);
    else
        m_objects.select(index, m_canvas);
}

void EmfPlayer::text(const RecordBytes &r, bool wide)
{
    static_assert(offsetof(U_EMREXTTEXTOUTW, emrtext) == offsetof(U_EMREXTTEXTOUTA, emrtext));
    const std::uint64_t base = offsetof(U_EMREXTTEXTOUTW, emrtext);
    const QPointF reference = readPoint(r, base + offsetof(U_EMRTEXT, ptlReference));
    const std::uint64_t chars = r.u32(base + offsetof(U_EMRTEXT, nChars));
    const std::uint64_t stringAt = r.u32(base + offsetof(U_EMRTEXT, offString));
    const std::uint32_t options = r.u32(base + offsetof(U_EMRTEXT, fOptions));
    std::uint64_t after = base + sizeof(U_EMRTEXT);
    std::optional<QRectF> opaque;
    if (!(options & U_ETO_NO_RECT)) {
        const QRectF rect = readRect(r, after);
        if (options & U_ETO_OPAQUE)
            opaque = rect;
        after += 16;
    }
    const std::uint64_t dxAt = r.u32(after);
    r.requireArray(stringAt, chars, wide ? 2 : 1);
    QString string;
    if (wide) {
        string.reserve(qsizetype(chars));
        for (std::uint64_t i = 0; i < chars; ++i)
            string.append(QChar(r.u16(stringAt + 2 * i)));
    } else {
        string = decodeCharsetText(r.data() + stringAt, chars, m_canvas.state.font.charset);
    }
    std::vector<double> advances;
    if (dxAt != 0) {
        // With vertical advances too, each character has a pair.
        const std::uint64_t step = (options & U_ETO_PDY) ? 8 : 4;
        r.requireArray(dxAt, chars, step);
        for (std::uint64_t i = 0; i < chars; ++i)
            advances.push_back(r.i32(dxAt + step * i));
    }
    m_canvas.text(reference, string, advances, opaque ? &*opaque : nullptr);
}

void EmfPlayer::bitmap(std::uint32_t type, const RecordBytes &r)
{
    QRectF destination;
    QRectF source;
    std::uint32_t rop = U_SRCCOPY;
    std::uint64_t bmiAt = 0, bmiSize = 0, bitsAt = 0, bitsSize = 0;
    if (type == U_EMR_STRETCHDIBITS || type == U_EMR_SETDIBITSTODEVICE) {
        const QPointF src = readPoint(r, offsetof(U_EMRSTRETCHDIBITS, Src));
        const QPointF srcSize = readPoint(r, offsetof(U_EMRSTRETCHDIBITS, cSrc));
        bmiAt = r.u32(offsetof(U_EMRSTRETCHDIBITS, offBmiSrc));
        bmiSize = r.u32(offsetof(U_EMRSTRETCHDIBITS, cbBmiSrc));
        bitsAt = r.u32(offsetof(U_EMRSTRETCHDIBITS, offBitsSrc));
        bitsSize = r.u32(offsetof(U_EMRSTRETCHDIBITS, cbBitsSrc));
        const QPointF dest = readPoint(r, offsetof(U_EMRSTRETCHDIBITS, Dest));
        QPointF destSize = srcSize;
        if (type == U_EMR_STRETCHDIBITS) {
            rop = r.u32(offsetof(U_EMRSTRETCHDIBITS, dwRop));
            destSize = readPoint(r, offsetof(U_EMRSTRETCHDIBITS, cDest));
        }
        destination = QRectF(dest, QSizeF(destSize.x(), destSize.y()));
        source = QRectF(src, QSizeF(srcSize.x(), srcSize.y()));
    } else { // BITBLT, STRETCHBLT
        const QPointF dest = readPoint(r, offsetof(U_EMRBITBLT, Dest));
        const QPointF destSize = readPoint(r, offsetof(U_EMRBITBLT, cDest));
        rop = r.u32(offsetof(U_EMRBITBLT, dwRop));
        destination = QRectF(dest, QSizeF(destSize.x(), destSize.y()));
        bmiSize = r.u32(offsetof(U_EMRBITBLT, cbBmiSrc));
        if (bmiSize == 0) {
            // No source bitmap: a pattern fill over the destination.
            m_canvas.fillBox(destination, rop);
            return;
        }
        bmiAt = r.u32(offsetof(U_EMRBITBLT, offBmiSrc));
        bitsAt = r.u32(offsetof(U_EMRBITBLT, offBitsSrc));
        bitsSize = r.u32(offsetof(U_EMRBITBLT, cbBitsSrc));
        QPointF srcSize = destSize;
        if (type == U_EMR_STRETCHBLT)
            srcSize = readPoint(r, offsetof(U_EMRSTRETCHBLT, cSrc));
        source = QRectF(readPoint(r, offsetof(U_EMRBITBLT, Src)), QSizeF(srcSize.x(), srcSize.y()));
    }
    const QImage image = decodeDib(r.slice(bmiAt, bmiSize), r.slice(bitsAt, bitsSize));
    if (image.isNull())
        return;
    if (type == U_EMR_STRETCHDIBITS || type == U_EMR_SETDIBITSTODEVICE) {
        // These count source rows from the bottom of a bottom-up bitmap.
        source.moveTop(image.height() - source.top() - source.height());
    }
    m_canvas.bitmap(destination, image, source, rop);
}

bool EmfPlayer::play(std::uint32_t type, const RecordBytes &r)
{
    MetafileCanvas::State &s = m_canvas.state;
    const std::uint64_t first = 8; // the first field after type and size
    switch (type) {
    case U_EMR_EOF:
        return false;
    case U_EMR_POLYBEZIER:
        m_canvas.polyBezier(poly(r, false));
        break;
    case U_EMR_POLYBEZIER16:
        m_canvas.polyBezier(poly(r, true));
        break;
    case U_EMR_POLYBEZIERTO:
        m_canvas.polyBezier(poly(r, false), true);
        break;
    case U_EMR_POLYBEZIERTO16:
        m_canvas.polyBezier(poly(r, true), true);
        break;
    case U_EMR_POLYGON:
        m_canvas.polygon(poly(r, false));
        break;
    case U_EMR_POLYGON16:
        m_canvas.polygon(poly(r, true));
        break;
    case U_EMR_POLYLINE:
        m_canvas.polyline(poly(r, false));
        break;
    case U_EMR_POLYLINE16:
        m_canvas.polyline(poly(r, true));
        break;
    case U_EMR_POLYLINETO:
        m_canvas.polyline(poly(r, false), true);
        break;
    case U_EMR_POLYLINETO16:
        m_canvas.polyline(poly(r, true), true);
        break;
    case U_EMR_POLYPOLYLINE:
        m_canvas.polyPolyline(polyPoly(r, false));
        break;
    case U_EMR_POLYPOLYLINE16:
        m_canvas.polyPolyline(polyPoly(r, true));
        break;
    case U_EMR_POLYPOLYGON:
        m_canvas.polyPolygon(polyPoly(r, false));
        break;
    case U_EMR_POLYPOLYGON16:
        m_canvas.polyPolygon(polyPoly(r, true));
        break;
    case U_EMR_SETWINDOWEXTEX:
        s.windowExt = QSizeF(r.i32(first), r.i32(first + 4));
        break;
    case U_EMR_SETWINDOWORGEX:
        s.windowOrg = readPoint(r, first);
        break;
    case U_EMR_SETVIEWPORTEXTEX:
        s.viewportExt = QSizeF(r.i32(first), r.i32(first + 4));
        break;
    case U_EMR_SETVIEWPORTORGEX:
        s.viewportOrg = readPoint(r, first);
        break;
    case U_EMR_SETMAPMODE:
        s.mapMode = int(r.u32(first));
        break;
    case U_EMR_SETBKMODE:
        s.opaqueBack = r.u32(first) == U_OPAQUE;
        break;
    case U_EMR_SETPOLYFILLMODE:
        s.fillRule = r.u32(first) == U_WINDING ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case U_EMR_SETTEXTALIGN:
        s.textAlign = r.u32(first);
        break;
    case U_EMR_SETTEXTCOLOR:
        s.textColor = colorFromRef(r.u32(first));
        break;
    case U_EMR_SETBKCOLOR:
        s.backColor = colorFromRef(r.u32(first));
        break;
    case U_EMR_MOVETOEX:
        m_canvas.moveTo(readPoint(r, first));
        break;
    case U_EMR_LINETO:
        m_canvas.lineTo(readPoint(r, first));
        break;
    case U_EMR_SAVEDC:
        m_canvas.saveState();
        break;
    case U_EMR_RESTOREDC:
        m_canvas.restoreState(r.i32(first));
        break;
    case U_EMR_SETWORLDTRANSFORM:
    case U_EMR_MODIFYWORLDTRANSFORM: {
        const std::uint64_t at = offsetof(U_EMRSETWORLDTRANSFORM, xform);
        const QTransform x(r.f32(at), r.f32(at + 4), r.f32(at + 8), r.f32(at + 12), r.f32(at + 16), r.f32(at + 20));
        const bool usable = std::isfinite(x.m11()) && std::isfinite(x.m12()) && std::isfinite(x.m21())
            && std::isfinite(x.m22()) && std::isfinite(x.dx()) && std::isfinite(x.dy());
        const std::uint32_t mode
            = type == U_EMR_SETWORLDTRANSFORM ? MwtSet : r.u32(offsetof(U_EMRMODIFYWORLDTRANSFORM, iMode));
        if (mode == U_MWT_IDENTITY)
            s.world = QTransform();
        else if (usable && mode == U_MWT_LEFTMULTIPLY)
            s.world = x * s.world;
        else if (usable && mode == U_MWT_RIGHTMULTIPLY)
            s.world = s.world * x;
        else if (usable && mode == MwtSet)
            s.world = x;
        break;
    }
    case U_EMR_SELECTOBJECT:
        select(r.u32(first));
        break;
    case U_EMR_DELETEOBJECT:
        m_objects.remove(r.u32(first));
        break;
    case U_EMR_CREATEPEN:
        if (MetafileObject *object = m_objects.slot(r.u32(offsetof(U_EMRCREATEPEN, ihPen)))) {
            const std::uint64_t at = offsetof(U_EMRCREATEPEN, lopn);
            object->kind = MetafileObject::Pen;
            object->style = r.u32(at);
            object->width = r.i32(at + 4);
            object->colour = r.u32(at + 12);
        }
        break;
    case U_EMR_EXTCREATEPEN:
        if (MetafileObject *object = m_objects.slot(r.u32(offsetof(U_EMREXTCREATEPEN, ihPen)))) {
            const std::uint64_t at = offsetof(U_EMREXTCREATEPEN, elp);
            object->kind = MetafileObject::Pen;
            object->style = r.u32(at + offsetof(U_EXTLOGPEN, elpPenStyle));
            object->width = r.u32(at + offsetof(U_EXTLOGPEN, elpWidth));
            object->colour = r.u32(at + offsetof(U_EXTLOGPEN, elpColor));
            // A pen whose brush is hollow draws nothing.
            if (r.u32(at + offsetof(U_EXTLOGPEN, elpBrushStyle)) == U_BS_NULL)
                object->style = U_PS_NULL;
        }
        break;
    case U_EMR_CREATEBRUSHINDIRECT:
        if (MetafileObject *object = m_objects.slot(r.u32(offsetof(U_EMRCREATEBRUSHINDIRECT, ihBrush)))) {
            const std::uint64_t at = offsetof(U_EMRCREATEBRUSHINDIRECT, lb);
            object->kind = MetafileObject::Brush;
            object->style = r.u32(at);
            object->colour = r.u32(at + 4);
            object->hatch = r.u32(at + 8);
        }
        break;
    case U_EMR_CREATEDIBPATTERNBRUSHPT:
        if (MetafileObject *object = m_objects.slot(r.u32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, ihBrush)))) {
            const RecordBytes header = r.slice(r.u32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, offBmi)),
                r.u32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, cbBmi)));
            const RecordBytes bits = r.slice(r.u32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, offBits)),
                r.u32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, cbBits)));
            object->kind = MetafileObject::PatternBrush;
            object->pattern = decodeDib(header, bits);
        }
        break;
    case U_EMR_EXTCREATEFONTINDIRECTW:
        if (MetafileObject *object = m_objects.slot(r.u32(offsetof(U_EMREXTCREATEFONTINDIRECTW, ihFont)))) {
            const std::uint64_t at = offsetof(U_EMREXTCREATEFONTINDIRECTW, elfw);
            r.require(at, sizeof(U_LOGFONT));
            object->kind = MetafileObject::Font;
            object->font.height = r.i32(at + offsetof(U_LOGFONT, lfHeight));
            object->font.escapement = r.i32(at + offsetof(U_LOGFONT, lfEscapement));
            object->font.weight = r.i32(at + offsetof(U_LOGFONT, lfWeight));
            object->font.italic = r.u8(at + offsetof(U_LOGFONT, lfItalic)) != 0;
            object->font.underline = r.u8(at + offsetof(U_LOGFONT, lfUnderline)) != 0;
            object->font.strikeOut = r.u8(at + offsetof(U_LOGFONT, lfStrikeOut)) != 0;
            object->font.charset = r.u8(at + offsetof(U_LOGFONT, lfCharSet));
            QString face;
            const std::uint64_t faceAt = at + offsetof(U_LOGFONT, lfFaceName);
            for (std::uint64_t i = 0; i < U_LF_FACESIZE && r.u16(faceAt + 2 * i) != 0; ++i)
                face.append(QChar(r.u16(faceAt + 2 * i)));
            object->font.face = face;
        }
        break;
    case U_EMR_RECTANGLE:
        m_canvas.rectangle(readRect(r, first));
        break;
    case U_EMR_ELLIPSE:
        m_canvas.ellipse(readRect(r, first));
        break;
    case U_EMR_ROUNDRECT: {
        const QPointF corner = readPoint(r, offsetof(U_EMRROUNDRECT, szlCorner));
        m_canvas.roundRectangle(readRect(r, first), QSizeF(corner.x(), corner.y()));
        break;
    }
    case U_EMR_ARC:
    case U_EMR_ARCTO:
    case U_EMR_CHORD:
    case U_EMR_PIE: {
        const auto kind = type == U_EMR_ARC ? MetafileCanvas::ArcKind::Arc
            : type == U_EMR_ARCTO           ? MetafileCanvas::ArcKind::ArcTo
            : type == U_EMR_CHORD           ? MetafileCanvas::ArcKind::Chord
                                            : MetafileCanvas::ArcKind::Pie;
        m_canvas.arc(kind, readRect(r, offsetof(U_EMRARC, rclBox)), readPoint(r, offsetof(U_EMRARC, ptlStart)),
            readPoint(r, offsetof(U_EMRARC, ptlEnd)));
        break;
    }
    case U_EMR_BEGINPATH:
        m_canvas.beginPath();
        break;
    case U_EMR_ENDPATH:
        m_canvas.endPath();
        break;
    case U_EMR_CLOSEFIGURE:
        m_canvas.closeFigure();
        break;
    case U_EMR_FILLPATH:
        m_canvas.fillPath();
        break;
    case U_EMR_STROKEPATH:
        m_canvas.strokePath();
        break;
    case U_EMR_STROKEANDFILLPATH:
        m_canvas.strokeAndFillPath();
        break;
    case U_EMR_EXTTEXTOUTW:
        text(r, true);
        break;
    case U_EMR_EXTTEXTOUTA:
        text(r, false);
        break;
    case U_EMR_INTERSECTCLIPRECT:
        m_canvas.intersectClip(readRect(r, first));
        break;
    case U_EMR_EXCLUDECLIPRECT:
        m_canvas.excludeClip(readRect(r, first));
        break;
    case U_EMR_SELECTCLIPPATH:
        m_canvas.clipToPath(r.u32(first));
        break;
    case U_EMR_EXTSELECTCLIPRGN:
        // Only the reset, an empty region copied, is drawn; other regions are not kept.
        if (r.u32(offsetof(U_EMREXTSELECTCLIPRGN, cbRgnData)) == 0)
            m_canvas.resetClip();
        break;
    case U_EMR_BITBLT:
    case U_EMR_STRETCHBLT:
    case U_EMR_STRETCHDIBITS:
    case U_EMR_SETDIBITSTODEVICE:
        bitmap(type, r);
        break;
    default:
        break;
    }
    return true;
}

void playEmf(const RecordBytes &file, const EmfHeader &header, QPaintDevice &target, QSize size)
{
    MetafileCanvas canvas(target);
    const double sx = size.width() / std::max(header.frame.width(), 1e-9);
    const double sy = size.height() / std::max(header.frame.height(), 1e-9);
    canvas.setDevice(
        QTransform::fromTranslate(-header.frame.left(), -header.frame.top()) * QTransform::fromScale(sx, sy),
        header.pixelsPerMmX, header.pixelsPerMmY);
    // Each handle needs a record of at least eight bytes to create it.
    EmfPlayer player(canvas, std::min<std::uint64_t>(header.handles, file.size() / 8));
    std::uint64_t at = 0;
    for (;;) {
        const std::uint32_t type = file.u32(at);
        const std::uint64_t size = file.u32(at + 4);
        if (size < 8 || size % 4 != 0)
            throw MetafileInvalid();
        const RecordBytes record = file.slice(at, size);
        if (at > 0 && !player.play(type, record))
            return;
        at += size;
    }
}

RecordBytes bytesOf(const QByteArray &data)
{
    return RecordBytes(reinterpret_cast<const unsigned char *>(data.constData()), std::uint64_t(data.size()));
}

} // namespace

PictureOutcome decodeEmf(const QByteArray &data)
{
    try {
        const RecordBytes file = bytesOf(data);
        const EmfHeader header = readHeader(file);
        if (!pictureSizeAllowed(header.width, header.height))
            return PictureFailure::tooLarge(header.width, header.height);
        // Recorded, not rasterised: the window paints only what it shows.
        const QSize size(int(header.width), int(header.height));
        auto drawing = std::make_shared<QPicture>();
        playEmf(file, header, *drawing, size);
        return Picture(std::move(drawing), size);
    } catch (const MetafileInvalid &) {
        return PictureFailure::of(PictureFailure::Kind::MetafileNotValid);
    }
}

bool renderEmf(const QByteArray &data, QImage &target)
{
    try {
        const RecordBytes file = bytesOf(data);
        playEmf(file, readHeader(file), target, target.size());
        return true;
    } catch (const MetafileInvalid &) {
        return false;
    }
}
