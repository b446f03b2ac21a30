#include "picture/BitmapReader.h"
#include "picture/MetafileCanvas.h"
#include "picture/MetafileObjects.h"
#include "picture/MetafileReader.h"
#include "picture/MetafileRecordTable.h"
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

std::optional<EmfHeader> readHeader(const RecordBytes &file)
{
    if (!file.require(0, MinHeaderSize) || file.u32(0) != U_EMR_HEADER
        || file.u32(offsetof(U_EMRHEADER, dSignature)) != U_ENHMETA_SIGNATURE)
        return std::nullopt;
    const std::uint64_t headerSize = file.u32(4);
    if (headerSize < MinHeaderSize || !file.require(0, headerSize))
        return std::nullopt;
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
        return std::nullopt;
    header.handles = std::clamp<std::size_t>(file.u16(offsetof(U_EMRHEADER, nHandles)), 1, MaxHandles);
    return header;
}

// Draws EMF records onto a canvas, one handler a record type.
class EmfPlayer {
public:
    EmfPlayer(MetafileCanvas &canvas, std::size_t handles)
        : m_canvas(canvas)
        , m_objects(handles)
    {
    }
    // False when the record does not hold what its type needs.
    bool play(std::uint32_t type, const RecordBytes &r) { return Handlers.play(*this, type, r); }

private:
    static const MetafileRecordTable<EmfPlayer, U_EMR_MAX + 1> Handlers;
    static constexpr std::uint64_t First = 8; // the first field after type and size

    QPolygonF points32(const RecordBytes &r, std::uint64_t at, std::uint64_t count) const
    {
        if (!r.requireArray(at, count, 8))
            return {};
        QPolygonF result;
        result.reserve(qsizetype(count));
        for (std::uint64_t i = 0; i < count; ++i)
            result.append(readPoint(r, at + 8 * i));
        return result;
    }
    QPolygonF points16(const RecordBytes &r, std::uint64_t at, std::uint64_t count) const
    {
        if (!r.requireArray(at, count, 4))
            return {};
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
    MetafileCanvas::State &state() { return m_canvas.state; }
    // The wide form holds UTF-16; the ANSI form, bytes in the font's character set.
    void text(const RecordBytes &r, bool wide);
    void bitmap(std::uint32_t type, const RecordBytes &r);
    void arcOf(MetafileCanvas::ArcKind kind, const RecordBytes &r)
    {
        m_canvas.arc(kind, readRect(r, offsetof(U_EMRARC, rclBox)), readPoint(r, offsetof(U_EMRARC, ptlStart)),
            readPoint(r, offsetof(U_EMRARC, ptlEnd)));
    }

    void polyBezier(const RecordBytes &r) { m_canvas.polyBezier(poly(r, false)); }
    void polyBezier16(const RecordBytes &r) { m_canvas.polyBezier(poly(r, true)); }
    void polyBezierTo(const RecordBytes &r) { m_canvas.polyBezier(poly(r, false), true); }
    void polyBezierTo16(const RecordBytes &r) { m_canvas.polyBezier(poly(r, true), true); }
    void polygon(const RecordBytes &r) { m_canvas.polygon(poly(r, false)); }
    void polygon16(const RecordBytes &r) { m_canvas.polygon(poly(r, true)); }
    void polyline(const RecordBytes &r) { m_canvas.polyline(poly(r, false)); }
    void polyline16(const RecordBytes &r) { m_canvas.polyline(poly(r, true)); }
    void polylineTo(const RecordBytes &r) { m_canvas.polyline(poly(r, false), true); }
    void polylineTo16(const RecordBytes &r) { m_canvas.polyline(poly(r, true), true); }
    void polyPolyline(const RecordBytes &r) { m_canvas.polyPolyline(polyPoly(r, false)); }
    void polyPolyline16(const RecordBytes &r) { m_canvas.polyPolyline(polyPoly(r, true)); }
    void polyPolygon(const RecordBytes &r) { m_canvas.polyPolygon(polyPoly(r, false)); }
    void polyPolygon16(const RecordBytes &r) { m_canvas.polyPolygon(polyPoly(r, true)); }
    void setWindowExtEx(const RecordBytes &r) { state().windowExt = QSizeF(r.i32(First), r.i32(First + 4)); }
    void setWindowOrgEx(const RecordBytes &r) { state().windowOrg = readPoint(r, First); }
    void setViewportExtEx(const RecordBytes &r) { state().viewportExt = QSizeF(r.i32(First), r.i32(First + 4)); }
    void setViewportOrgEx(const RecordBytes &r) { state().viewportOrg = readPoint(r, First); }
    void setMapMode(const RecordBytes &r) { state().mapMode = int(r.u32(First)); }
    void setBkMode(const RecordBytes &r) { state().opaqueBack = r.u32(First) == U_OPAQUE; }
    void setPolyFillMode(const RecordBytes &r)
    {
        state().fillRule = r.u32(First) == U_WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    }
    void setTextAlign(const RecordBytes &r) { state().textAlign = r.u32(First); }
    void setTextColor(const RecordBytes &r) { state().textColor = colorFromRef(r.u32(First)); }
    void setBkColor(const RecordBytes &r) { state().backColor = colorFromRef(r.u32(First)); }
    void moveToEx(const RecordBytes &r) { m_canvas.moveTo(readPoint(r, First)); }
    void lineTo(const RecordBytes &r) { m_canvas.lineTo(readPoint(r, First)); }
    void saveDc(const RecordBytes &) { m_canvas.saveState(); }
    void restoreDc(const RecordBytes &r) { m_canvas.restoreState(r.i32(First)); }
    void setWorldTransform(const RecordBytes &r) { transformWorld(r, MwtSet); }
    void modifyWorldTransform(const RecordBytes &r)
    {
        transformWorld(r, r.u32(offsetof(U_EMRMODIFYWORLDTRANSFORM, iMode)));
    }
    void transformWorld(const RecordBytes &r, std::uint32_t mode);
    void selectObject(const RecordBytes &r);
    void deleteObject(const RecordBytes &r) { m_objects.remove(r.u32(First)); }
    void createPen(const RecordBytes &r);
    void extCreatePen(const RecordBytes &r);
    void createBrushIndirect(const RecordBytes &r);
    void createDibPatternBrushPt(const RecordBytes &r);
    void extCreateFontIndirectW(const RecordBytes &r);
    void rectangle(const RecordBytes &r) { m_canvas.rectangle(readRect(r, First)); }
    void ellipse(const RecordBytes &r) { m_canvas.ellipse(readRect(r, First)); }
    void roundRect(const RecordBytes &r)
    {
        const QPointF corner = readPoint(r, offsetof(U_EMRROUNDRECT, szlCorner));
        m_canvas.roundRectangle(readRect(r, First), QSizeF(corner.x(), corner.y()));
    }
    void arc(const RecordBytes &r) { arcOf(MetafileCanvas::ArcKind::Arc, r); }
    void arcTo(const RecordBytes &r) { arcOf(MetafileCanvas::ArcKind::ArcTo, r); }
    void chord(const RecordBytes &r) { arcOf(MetafileCanvas::ArcKind::Chord, r); }
    void pie(const RecordBytes &r) { arcOf(MetafileCanvas::ArcKind::Pie, r); }
    void beginPath(const RecordBytes &) { m_canvas.beginPath(); }
    void endPath(const RecordBytes &) { m_canvas.endPath(); }
    void closeFigure(const RecordBytes &) { m_canvas.closeFigure(); }
    void fillPath(const RecordBytes &) { m_canvas.fillPath(); }
    void strokePath(const RecordBytes &) { m_canvas.strokePath(); }
    void strokeAndFillPath(const RecordBytes &) { m_canvas.strokeAndFillPath(); }
    void extTextOutW(const RecordBytes &r) { text(r, true); }
    void extTextOutA(const RecordBytes &r) { text(r, false); }
    void intersectClipRect(const RecordBytes &r) { m_canvas.intersectClip(readRect(r, First)); }
    void excludeClipRect(const RecordBytes &r) { m_canvas.excludeClip(readRect(r, First)); }
    void selectClipPath(const RecordBytes &r) { m_canvas.clipToPath(r.u32(First)); }
    // Only the reset, an empty region copied, is drawn; other regions are not kept.
    void extSelectClipRgn(const RecordBytes &r)
    {
        if (r.u32(offsetof(U_EMREXTSELECTCLIPRGN, cbRgnData)) == 0)
            m_canvas.resetClip();
    }
    void bitBlt(const RecordBytes &r) { bitmap(U_EMR_BITBLT, r); }
    void stretchBlt(const RecordBytes &r) { bitmap(U_EMR_STRETCHBLT, r); }
    void stretchDibits(const RecordBytes &r) { bitmap(U_EMR_STRETCHDIBITS, r); }
    void setDibitsToDevice(const RecordBytes &r) { bitmap(U_EMR_SETDIBITSTODEVICE, r); }

    MetafileCanvas &m_canvas;
    MetafileObjectTable m_objects;
};

const MetafileRecordTable<EmfPlayer, U_EMR_MAX + 1> EmfPlayer::Handlers {
    { U_EMR_POLYBEZIER, &EmfPlayer::polyBezier },
    { U_EMR_POLYBEZIER16, &EmfPlayer::polyBezier16 },
    { U_EMR_POLYBEZIERTO, &EmfPlayer::polyBezierTo },
    { U_EMR_POLYBEZIERTO16, &EmfPlayer::polyBezierTo16 },
    { U_EMR_POLYGON, &EmfPlayer::polygon },
    { U_EMR_POLYGON16, &EmfPlayer::polygon16 },
    { U_EMR_POLYLINE, &EmfPlayer::polyline },
    { U_EMR_POLYLINE16, &EmfPlayer::polyline16 },
    { U_EMR_POLYLINETO, &EmfPlayer::polylineTo },
    { U_EMR_POLYLINETO16, &EmfPlayer::polylineTo16 },
    { U_EMR_POLYPOLYLINE, &EmfPlayer::polyPolyline },
    { U_EMR_POLYPOLYLINE16, &EmfPlayer::polyPolyline16 },
    { U_EMR_POLYPOLYGON, &EmfPlayer::polyPolygon },
    { U_EMR_POLYPOLYGON16, &EmfPlayer::polyPolygon16 },
    { U_EMR_SETWINDOWEXTEX, &EmfPlayer::setWindowExtEx },
    { U_EMR_SETWINDOWORGEX, &EmfPlayer::setWindowOrgEx },
    { U_EMR_SETVIEWPORTEXTEX, &EmfPlayer::setViewportExtEx },
    { U_EMR_SETVIEWPORTORGEX, &EmfPlayer::setViewportOrgEx },
    { U_EMR_SETMAPMODE, &EmfPlayer::setMapMode },
    { U_EMR_SETBKMODE, &EmfPlayer::setBkMode },
    { U_EMR_SETPOLYFILLMODE, &EmfPlayer::setPolyFillMode },
    { U_EMR_SETTEXTALIGN, &EmfPlayer::setTextAlign },
    { U_EMR_SETTEXTCOLOR, &EmfPlayer::setTextColor },
    { U_EMR_SETBKCOLOR, &EmfPlayer::setBkColor },
    { U_EMR_MOVETOEX, &EmfPlayer::moveToEx },
    { U_EMR_LINETO, &EmfPlayer::lineTo },
    { U_EMR_SAVEDC, &EmfPlayer::saveDc },
    { U_EMR_RESTOREDC, &EmfPlayer::restoreDc },
    { U_EMR_SETWORLDTRANSFORM, &EmfPlayer::setWorldTransform },
    { U_EMR_MODIFYWORLDTRANSFORM, &EmfPlayer::modifyWorldTransform },
    { U_EMR_SELECTOBJECT, &EmfPlayer::selectObject },
    { U_EMR_DELETEOBJECT, &EmfPlayer::deleteObject },
    { U_EMR_CREATEPEN, &EmfPlayer::createPen },
    { U_EMR_EXTCREATEPEN, &EmfPlayer::extCreatePen },
    { U_EMR_CREATEBRUSHINDIRECT, &EmfPlayer::createBrushIndirect },
    { U_EMR_CREATEDIBPATTERNBRUSHPT, &EmfPlayer::createDibPatternBrushPt },
    { U_EMR_EXTCREATEFONTINDIRECTW, &EmfPlayer::extCreateFontIndirectW },
    { U_EMR_RECTANGLE, &EmfPlayer::rectangle },
    { U_EMR_ELLIPSE, &EmfPlayer::ellipse },
    { U_EMR_ROUNDRECT, &EmfPlayer::roundRect },
    { U_EMR_ARC, &EmfPlayer::arc },
    { U_EMR_ARCTO, &EmfPlayer::arcTo },
    { U_EMR_CHORD, &EmfPlayer::chord },
    { U_EMR_PIE, &EmfPlayer::pie },
    { U_EMR_BEGINPATH, &EmfPlayer::beginPath },
    { U_EMR_ENDPATH, &EmfPlayer::endPath },
    { U_EMR_CLOSEFIGURE, &EmfPlayer::closeFigure },
    { U_EMR_FILLPATH, &EmfPlayer::fillPath },
    { U_EMR_STROKEPATH, &EmfPlayer::strokePath },
    { U_EMR_STROKEANDFILLPATH, &EmfPlayer::strokeAndFillPath },
    { U_EMR_EXTTEXTOUTW, &EmfPlayer::extTextOutW },
    { U_EMR_EXTTEXTOUTA, &EmfPlayer::extTextOutA },
    { U_EMR_INTERSECTCLIPRECT, &EmfPlayer::intersectClipRect },
    { U_EMR_EXCLUDECLIPRECT, &EmfPlayer::excludeClipRect },
    { U_EMR_SELECTCLIPPATH, &EmfPlayer::selectClipPath },
    { U_EMR_EXTSELECTCLIPRGN, &EmfPlayer::extSelectClipRgn },
    { U_EMR_BITBLT, &EmfPlayer::bitBlt },
    { U_EMR_STRETCHBLT, &EmfPlayer::stretchBlt },
    { U_EMR_STRETCHDIBITS, &EmfPlayer::stretchDibits },
    { U_EMR_SETDIBITSTODEVICE, &EmfPlayer::setDibitsToDevice },
};

std::vector<QPolygonF> EmfPlayer::polyPoly(const RecordBytes &r, bool small) const
{
    const std::uint64_t polygons = r.u32(offsetof(U_EMRPOLYPOLYLINE, nPolys));
    const std::uint64_t total = r.u32(offsetof(U_EMRPOLYPOLYLINE, cptl));
    const std::uint64_t countsAt = offsetof(U_EMRPOLYPOLYLINE, aPolyCounts);
    if (!r.requireArray(countsAt, polygons, 4))
        return {};
    std::uint64_t sum = 0;
    for (std::uint64_t i = 0; i < polygons; ++i)
        sum += r.u32(countsAt + 4 * i);
    // The counts must add up to no more than the points the record holds.
    std::uint64_t at = countsAt + polygons * 4;
    if (sum > total || !r.requireArray(at, total, small ? 4 : 8)) {
        r.fail();
        return {};
    }
    std::vector<QPolygonF> shapes;
    for (std::uint64_t i = 0; i < polygons; ++i) {
        const std::uint64_t count = r.u32(countsAt + 4 * i);
        shapes.push_back(small ? points16(r, at, count) : points32(r, at, count));
        at += count * (small ? 4 : 8);
    }
    return shapes;
}

void EmfPlayer::transformWorld(const RecordBytes &r, std::uint32_t mode)
{
    const std::uint64_t at = offsetof(U_EMRSETWORLDTRANSFORM, xform);
    const QTransform x(r.f32(at), r.f32(at + 4), r.f32(at + 8), r.f32(at + 12), r.f32(at + 16), r.f32(at + 20));
    const bool usable = std::isfinite(x.m11()) && std::isfinite(x.m12()) && std::isfinite(x.m21())
        && std::isfinite(x.m22()) && std::isfinite(x.dx()) && std::isfinite(x.dy());
    QTransform &world = state().world;
    if (mode == U_MWT_IDENTITY)
        world = QTransform();
    else if (usable && mode == U_MWT_LEFTMULTIPLY)
        world = x * world;
    else if (usable && mode == U_MWT_RIGHTMULTIPLY)
        world = world * x;
    else if (usable && mode == MwtSet)
        world = x;
}

void EmfPlayer::selectObject(const RecordBytes &r)
{
    const std::uint32_t index = r.u32(First);
    if (index & U_STOCK_OBJECT)
        m_canvas.selectStockObject(index);
    else
        m_objects.select(index, m_canvas);
}

void EmfPlayer::createPen(const RecordBytes &r)
{
    const std::uint64_t at = offsetof(U_EMRCREATEPEN, lopn);
    if (MetafileObject *object = m_objects.slot(r.u32(offsetof(U_EMRCREATEPEN, ihPen))))
        *object = MetafileObject::pen(r.u32(at), r.i32(at + 4), r.u32(at + 12));
}

void EmfPlayer::extCreatePen(const RecordBytes &r)
{
    const std::uint64_t at = offsetof(U_EMREXTCREATEPEN, elp);
    if (MetafileObject *object = m_objects.slot(r.u32(offsetof(U_EMREXTCREATEPEN, ihPen)))) {
        // A pen whose brush is hollow draws nothing.
        const bool hollow = r.u32(at + offsetof(U_EXTLOGPEN, elpBrushStyle)) == U_BS_NULL;
        *object = MetafileObject::pen(hollow ? U_PS_NULL : r.u32(at + offsetof(U_EXTLOGPEN, elpPenStyle)),
            r.u32(at + offsetof(U_EXTLOGPEN, elpWidth)), r.u32(at + offsetof(U_EXTLOGPEN, elpColor)));
    }
}

void EmfPlayer::createBrushIndirect(const RecordBytes &r)
{
    const std::uint64_t at = offsetof(U_EMRCREATEBRUSHINDIRECT, lb);
    if (MetafileObject *object = m_objects.slot(r.u32(offsetof(U_EMRCREATEBRUSHINDIRECT, ihBrush))))
        *object = MetafileObject::brush(r.u32(at), r.u32(at + 4), r.u32(at + 8));
}

void EmfPlayer::createDibPatternBrushPt(const RecordBytes &r)
{
    if (MetafileObject *object = m_objects.slot(r.u32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, ihBrush)))) {
        const RecordBytes header = r.slice(r.u32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, offBmi)),
            r.u32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, cbBmi)));
        const RecordBytes bits = r.slice(r.u32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, offBits)),
            r.u32(offsetof(U_EMRCREATEDIBPATTERNBRUSHPT, cbBits)));
        if (r.failed())
            return;
        object->kind = MetafileObject::PatternBrush;
        object->pattern = decodeDib(header, bits);
    }
}

void EmfPlayer::extCreateFontIndirectW(const RecordBytes &r)
{
    if (MetafileObject *object = m_objects.slot(r.u32(offsetof(U_EMREXTCREATEFONTINDIRECTW, ihFont)))) {
        const std::uint64_t at = offsetof(U_EMREXTCREATEFONTINDIRECTW, elfw);
        if (!r.require(at, sizeof(U_LOGFONT)))
            return;
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
    if (!r.requireArray(stringAt, chars, wide ? 2 : 1))
        return;
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
        if (!r.requireArray(dxAt, chars, step))
            return;
        for (std::uint64_t i = 0; i < chars; ++i)
            advances.push_back(r.i32(dxAt + step * i));
    }
    if (!r.failed())
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
            if (!r.failed())
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
    const RecordBytes header = r.slice(bmiAt, bmiSize);
    const RecordBytes bits = r.slice(bitsAt, bitsSize);
    if (r.failed())
        return;
    const QImage image = decodeDib(header, bits);
    if (image.isNull())
        return;
    if (type == U_EMR_STRETCHDIBITS || type == U_EMR_SETDIBITSTODEVICE) {
        // These count source rows from the bottom of a bottom-up bitmap.
        source.moveTop(image.height() - source.top() - source.height());
    }
    m_canvas.bitmap(destination, image, source, rop);
}

// Plays every record after the header; false when a record overruns the file
// or does not hold what its type needs.
bool playEmf(const RecordBytes &file, const EmfHeader &header, QPaintDevice &target, QSize size)
{
    MetafileCanvas canvas(target);
    const double sx = size.width() / std::max(header.frame.width(), 1e-9);
    const double sy = size.height() / std::max(header.frame.height(), 1e-9);
    canvas.setDevice(
        QTransform::fromTranslate(-header.frame.left(), -header.frame.top()) * QTransform::fromScale(sx, sy),
        header.pixelsPerMmX, header.pixelsPerMmY);
    // Each handle needs a record of at least eight bytes to create it.
    EmfPlayer player(canvas, std::min<std::uint64_t>(header.handles, file.size() / 8));
    for (std::uint64_t at = 0;;) {
        const std::uint32_t type = file.u32(at);
        const std::uint64_t size = file.u32(at + 4);
        if (file.failed() || size < 8 || size % 4 != 0 || !file.require(at, size))
            return false;
        if (type == U_EMR_EOF)
            return true;
        if (at > 0 && !player.play(type, file.slice(at, size)))
            return false;
        at += size;
    }
}

RecordBytes bytesOf(const QByteArray &data, bool &fault)
{
    return RecordBytes(reinterpret_cast<const unsigned char *>(data.constData()), std::uint64_t(data.size()), fault);
}

} // namespace

PictureOutcome decodeEmf(const QByteArray &data)
{
    const PictureFailure invalid = PictureFailure::of(PictureFailure::Kind::MetafileNotValid);
    bool fault = false;
    const RecordBytes file = bytesOf(data, fault);
    const std::optional<EmfHeader> header = readHeader(file);
    if (!header)
        return invalid;
    if (!pictureSizeAllowed(header->width, header->height))
        return PictureFailure::tooLarge(header->width, header->height);
    // Recorded, not rasterised: the window paints only what it shows.
    const QSize size(int(header->width), int(header->height));
    auto drawing = std::make_shared<QPicture>();
    if (!playEmf(file, *header, *drawing, size))
        return invalid;
    return Picture(std::move(drawing), size);
}

bool renderEmf(const QByteArray &data, QImage &target)
{
    bool fault = false;
    const RecordBytes file = bytesOf(data, fault);
    const std::optional<EmfHeader> header = readHeader(file);
    return header && playEmf(file, *header, target, target.size());
}
