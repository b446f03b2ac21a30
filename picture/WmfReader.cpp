#include "picture/BitmapReader.h"
#include "picture/MetafileCanvas.h"
#include "picture/MetafileObjects.h"
#include "picture/MetafileReader.h"
#include "picture/MetafileRecordTable.h"
#include "picture/MetafileText.h"

#include <uwmf.h>

#include <QPicture>

#include <cmath>
#include <optional>

namespace {

constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;
constexpr std::uint64_t Params = 6; // first parameter word of a record

std::uint64_t param(int index)
{
    return Params + 2 * std::uint64_t(index);
}

struct WmfHeader {
    QRectF box; // logical units
    double unitsPerInch = 0; // 0: not placeable, units are pixels
    std::uint64_t recordsStart = 0;
    std::uint16_t objectCount = 0;
    bool windowless = false; // neither placeable nor with a window extent
};

// A record's words and its function.
struct WmfRecord {
    RecordBytes bytes;
    std::uint16_t function;
};

class WmfRecords {
public:
    WmfRecords(const RecordBytes &file, std::uint64_t start)
        : m_file(file)
        , m_pos(start)
    {
    }
    // The next record, or nothing after the end-of-file record or at a record
    // that overruns the file, which marks the file's fault.
    std::optional<WmfRecord> next()
    {
        if (m_done)
            return std::nullopt;
        const std::uint64_t words = m_file.u32(m_pos);
        const std::uint16_t function = m_file.u16(m_pos + 4);
        if (words < 3 || !m_file.require(m_pos, words * 2)) {
            m_file.fail();
            m_done = true;
            return std::nullopt;
        }
        const RecordBytes bytes = m_file.slice(m_pos, words * 2);
        m_pos += words * 2;
        if (function == U_WMR_EOF) {
            m_done = true;
            return std::nullopt;
        }
        return WmfRecord { bytes, function };
    }

private:
    RecordBytes m_file;
    std::uint64_t m_pos;
    bool m_done = false;
};

std::optional<WmfHeader> readHeader(const RecordBytes &file)
{
    WmfHeader header;
    std::uint64_t at = 0;
    if (file.has(0, 4) && file.u32(0) == PlaceableKey) {
        const double left = file.i16(6), top = file.i16(8), right = file.i16(10), bottom = file.i16(12);
        header.unitsPerInch = file.u16(14);
        if (header.unitsPerInch == 0)
            return std::nullopt;
        header.box = QRectF(QPointF(left, top), QPointF(right, bottom));
        at = U_SIZE_WMRPLACEABLE;
    }
    const std::uint16_t type = file.u16(at);
    const std::uint16_t headerWords = file.u16(at + 2);
    if ((type != U_MEMORYMETAFILE && type != U_DISKMETAFILE) || headerWords != U_SIZE_WMRHEADER / 2
        || !file.require(at, U_SIZE_WMRHEADER))
        return std::nullopt;
    header.objectCount = file.u16(at + 10);
    header.recordsStart = at + U_SIZE_WMRHEADER;
    if (header.unitsPerInch == 0) {
        // Without a placeable header the window records, if any, give the picture's extent in pixels.
        std::optional<QPointF> origin;
        std::optional<QSizeF> extent;
        WmfRecords records(file, header.recordsStart);
        while (auto record = records.next()) {
            const int index = record->function & U_WMR_MASK;
            if (index == U_WMR_SETWINDOWORG && !origin)
                origin = QPointF(record->bytes.i16(param(1)), record->bytes.i16(param(0)));
            else if (index == U_WMR_SETWINDOWEXT && !extent)
                extent = QSizeF(record->bytes.i16(param(1)), record->bytes.i16(param(0)));
        }
        if (file.failed())
            return std::nullopt;
        if (extent)
            header.box = QRectF(origin.value_or(QPointF()), *extent);
        header.windowless = !extent;
    }
    if (file.failed())
        return std::nullopt;
    return header;
}

QSize naturalSize(const WmfHeader &header, std::int64_t &width, std::int64_t &height)
{
    const double scale = header.unitsPerInch > 0 ? 96.0 / header.unitsPerInch : 1.0;
    width = std::llround(std::abs(header.box.width()) * scale);
    height = std::llround(std::abs(header.box.height()) * scale);
    return QSize(int(std::min<std::int64_t>(width, 1 << 30)), int(std::min<std::int64_t>(height, 1 << 30)));
}

QString decodeText(const RecordBytes &bytes, std::uint64_t offset, std::uint64_t length, std::uint8_t charset)
{
    if (!bytes.require(offset, length))
        return {};
    return decodeCharsetText(bytes.data() + offset, length, charset);
}

// Draws WMF records onto a canvas, one handler a record type.
class WmfPlayer {
public:
    WmfPlayer(MetafileCanvas &canvas, std::size_t objectCount)
        : m_canvas(canvas)
        , m_objects(objectCount)
    {
    }

    // False when the record does not hold what its type needs.
    bool play(const WmfRecord &record) { return Handlers.play(*this, record.function & U_WMR_MASK, record.bytes); }

private:
    static const MetafileRecordTable<WmfPlayer, U_WMR_MASK + 1> Handlers;

    QPointF point(const RecordBytes &r, int yIndex) const
    {
        return QPointF(r.i16(param(yIndex + 1)), r.i16(param(yIndex)));
    }
    // Four coordinates stored bottom, right, top, left.
    QRectF box(const RecordBytes &r, int first) const
    {
        return QRectF(QPointF(r.i16(param(first + 3)), r.i16(param(first + 2))),
            QPointF(r.i16(param(first + 1)), r.i16(param(first))));
    }
    QPolygonF points(const RecordBytes &r, std::uint64_t offset, std::uint64_t count) const
    {
        if (!r.requireArray(offset, count, 4))
            return {};
        QPolygonF result;
        result.reserve(qsizetype(count));
        for (std::uint64_t i = 0; i < count; ++i)
            result.append(QPointF(r.i16(offset + 4 * i), r.i16(offset + 4 * i + 2)));
        return result;
    }
    MetafileCanvas::State &state() { return m_canvas.state; }
    void text(const RecordBytes &r, bool extended);
    void dib(const RecordBytes &r, int index);
    // Objects that draw nothing here still hold their slot, so later indices stay right.
    void createOther(const RecordBytes &)
    {
        MetafileObject other;
        other.kind = MetafileObject::Other;
        m_objects.addToFreeSlot(other);
    }

    void setBkColor(const RecordBytes &r) { state().backColor = colorFromRef(r.u32(param(0))); }
    void setBkMode(const RecordBytes &r) { state().opaqueBack = r.u16(param(0)) == U_OPAQUE; }
    void setMapMode(const RecordBytes &r) { state().mapMode = r.u16(param(0)); }
    void setPolyFillMode(const RecordBytes &r)
    {
        state().fillRule = r.u16(param(0)) == U_WINDING ? Qt::WindingFill : Qt::OddEvenFill;
    }
    void setTextColor(const RecordBytes &r) { state().textColor = colorFromRef(r.u32(param(0))); }
    void setTextAlign(const RecordBytes &r) { state().textAlign = r.u16(param(0)); }
    void setWindowOrg(const RecordBytes &r) { state().windowOrg = point(r, 0); }
    void setWindowExt(const RecordBytes &r) { state().windowExt = QSizeF(r.i16(param(1)), r.i16(param(0))); }
    void offsetWindowOrg(const RecordBytes &r) { state().windowOrg += point(r, 0); }
    void scaleWindowExt(const RecordBytes &r);
    void moveTo(const RecordBytes &r) { m_canvas.moveTo(point(r, 0)); }
    void lineTo(const RecordBytes &r) { m_canvas.lineTo(point(r, 0)); }
    void rectangle(const RecordBytes &r) { m_canvas.rectangle(box(r, 0)); }
    void ellipse(const RecordBytes &r) { m_canvas.ellipse(box(r, 0)); }
    void roundRect(const RecordBytes &r)
    {
        m_canvas.roundRectangle(box(r, 2), QSizeF(r.i16(param(1)), r.i16(param(0))));
    }
    void arcOf(MetafileCanvas::ArcKind kind, const RecordBytes &r)
    {
        m_canvas.arc(kind, box(r, 4), point(r, 2), point(r, 0));
    }
    void arc(const RecordBytes &r) { arcOf(MetafileCanvas::ArcKind::Arc, r); }
    void chord(const RecordBytes &r) { arcOf(MetafileCanvas::ArcKind::Chord, r); }
    void pie(const RecordBytes &r) { arcOf(MetafileCanvas::ArcKind::Pie, r); }
    void polygon(const RecordBytes &r) { m_canvas.polygon(points(r, param(1), r.u16(param(0)))); }
    void polyline(const RecordBytes &r) { m_canvas.polyline(points(r, param(1), r.u16(param(0)))); }
    void polyPolygon(const RecordBytes &r);
    void textOut(const RecordBytes &r) { text(r, false); }
    void extTextOut(const RecordBytes &r) { text(r, true); }
    void intersectClipRect(const RecordBytes &r) { m_canvas.intersectClip(box(r, 0)); }
    void excludeClipRect(const RecordBytes &r) { m_canvas.excludeClip(box(r, 0)); }
    // Regions are not kept, so selecting one clips to nothing less than the picture.
    void selectClipRegion(const RecordBytes &) { m_canvas.resetClip(); }
    void saveDc(const RecordBytes &) { m_canvas.saveState(); }
    void restoreDc(const RecordBytes &r) { m_canvas.restoreState(r.i16(param(0))); }
    void selectObject(const RecordBytes &r) { m_objects.select(r.u16(param(0)), m_canvas); }
    void deleteObject(const RecordBytes &r) { m_objects.remove(r.u16(param(0))); }
    void createPenIndirect(const RecordBytes &r)
    {
        m_objects.addToFreeSlot(MetafileObject::pen(r.u16(param(0)), r.i16(param(1)), r.u32(param(3))));
    }
    void createBrushIndirect(const RecordBytes &r)
    {
        m_objects.addToFreeSlot(MetafileObject::brush(r.u16(param(0)), r.u32(param(1)), r.u16(param(3))));
    }
    void createFontIndirect(const RecordBytes &r);
    void dibCreatePatternBrush(const RecordBytes &r);
    void patBlt(const RecordBytes &r)
    {
        m_canvas.fillBox(QRectF(point(r, 4), QSizeF(r.i16(param(3)), r.i16(param(2)))), r.u32(param(0)));
    }
    void stretchDib(const RecordBytes &r) { dib(r, U_WMR_STRETCHDIB); }
    void dibStretchBlt(const RecordBytes &r) { dib(r, U_WMR_DIBSTRETCHBLT); }
    void dibBitBlt(const RecordBytes &r) { dib(r, U_WMR_DIBBITBLT); }
    void setDibToDev(const RecordBytes &r) { dib(r, U_WMR_SETDIBTODEV); }
    void bitBlt(const RecordBytes &r) { dib(r, U_WMR_BITBLT); }
    void stretchBlt(const RecordBytes &r) { dib(r, U_WMR_STRETCHBLT); }
    // The viewport belongs to the player: it is the whole picture, so the
    // file's viewport records have no handler.

    MetafileCanvas &m_canvas;
    MetafileObjectTable m_objects;
};

const MetafileRecordTable<WmfPlayer, U_WMR_MASK + 1> WmfPlayer::Handlers {
    { U_WMR_SETBKCOLOR, &WmfPlayer::setBkColor },
    { U_WMR_SETBKMODE, &WmfPlayer::setBkMode },
    { U_WMR_SETMAPMODE, &WmfPlayer::setMapMode },
    { U_WMR_SETPOLYFILLMODE, &WmfPlayer::setPolyFillMode },
    { U_WMR_SETTEXTCOLOR, &WmfPlayer::setTextColor },
    { U_WMR_SETTEXTALIGN, &WmfPlayer::setTextAlign },
    { U_WMR_SETWINDOWORG, &WmfPlayer::setWindowOrg },
    { U_WMR_SETWINDOWEXT, &WmfPlayer::setWindowExt },
    { U_WMR_OFFSETWINDOWORG, &WmfPlayer::offsetWindowOrg },
    { U_WMR_SCALEWINDOWEXT, &WmfPlayer::scaleWindowExt },
    { U_WMR_MOVETO, &WmfPlayer::moveTo },
    { U_WMR_LINETO, &WmfPlayer::lineTo },
    { U_WMR_RECTANGLE, &WmfPlayer::rectangle },
    { U_WMR_ELLIPSE, &WmfPlayer::ellipse },
    { U_WMR_ROUNDRECT, &WmfPlayer::roundRect },
    { U_WMR_ARC, &WmfPlayer::arc },
    { U_WMR_CHORD, &WmfPlayer::chord },
    { U_WMR_PIE, &WmfPlayer::pie },
    { U_WMR_POLYGON, &WmfPlayer::polygon },
    { U_WMR_POLYLINE, &WmfPlayer::polyline },
    { U_WMR_POLYPOLYGON, &WmfPlayer::polyPolygon },
    { U_WMR_TEXTOUT, &WmfPlayer::textOut },
    { U_WMR_EXTTEXTOUT, &WmfPlayer::extTextOut },
    { U_WMR_INTERSECTCLIPRECT, &WmfPlayer::intersectClipRect },
    { U_WMR_EXCLUDECLIPRECT, &WmfPlayer::excludeClipRect },
    { U_WMR_SELECTCLIPREGION, &WmfPlayer::selectClipRegion },
    { U_WMR_SAVEDC, &WmfPlayer::saveDc },
    { U_WMR_RESTOREDC, &WmfPlayer::restoreDc },
    { U_WMR_SELECTOBJECT, &WmfPlayer::selectObject },
    { U_WMR_DELETEOBJECT, &WmfPlayer::deleteObject },
    { U_WMR_CREATEPENINDIRECT, &WmfPlayer::createPenIndirect },
    { U_WMR_CREATEBRUSHINDIRECT, &WmfPlayer::createBrushIndirect },
    { U_WMR_CREATEFONTINDIRECT, &WmfPlayer::createFontIndirect },
    { U_WMR_DIBCREATEPATTERNBRUSH, &WmfPlayer::dibCreatePatternBrush },
    { U_WMR_CREATEPALETTE, &WmfPlayer::createOther },
    { U_WMR_CREATEPATTERNBRUSH, &WmfPlayer::createOther },
    { U_WMR_CREATEREGION, &WmfPlayer::createOther },
    { U_WMR_CREATEBITMAPINDIRECT, &WmfPlayer::createOther },
    { U_WMR_CREATEBITMAP, &WmfPlayer::createOther },
    { U_WMR_PATBLT, &WmfPlayer::patBlt },
    { U_WMR_STRETCHDIB, &WmfPlayer::stretchDib },
    { U_WMR_DIBSTRETCHBLT, &WmfPlayer::dibStretchBlt },
    { U_WMR_DIBBITBLT, &WmfPlayer::dibBitBlt },
    { U_WMR_SETDIBTODEV, &WmfPlayer::setDibToDev },
    { U_WMR_BITBLT, &WmfPlayer::bitBlt },
    { U_WMR_STRETCHBLT, &WmfPlayer::stretchBlt },
};

void WmfPlayer::scaleWindowExt(const RecordBytes &r)
{
    const double yDen = r.i16(param(0)), yNum = r.i16(param(1)), xDen = r.i16(param(2)), xNum = r.i16(param(3));
    if (xDen != 0 && yDen != 0)
        state().windowExt = QSizeF(state().windowExt.width() * xNum / xDen, state().windowExt.height() * yNum / yDen);
}

void WmfPlayer::polyPolygon(const RecordBytes &r)
{
    const std::uint64_t polygons = r.u16(param(0));
    if (!r.requireArray(param(1), polygons, 2))
        return;
    std::uint64_t at = param(1) + polygons * 2;
    std::vector<QPolygonF> shapes;
    for (std::uint64_t i = 0; i < polygons && !r.failed(); ++i) {
        const std::uint64_t count = r.u16(param(1) + 2 * i);
        shapes.push_back(points(r, at, count));
        at += count * 4;
    }
    if (!r.failed())
        m_canvas.polyPolygon(shapes);
}

void WmfPlayer::createFontIndirect(const RecordBytes &r)
{
    MetafileObject font;
    font.kind = MetafileObject::Font;
    font.font.height = r.i16(param(0));
    font.font.escapement = r.i16(param(2));
    font.font.weight = r.i16(param(4));
    font.font.italic = r.u8(param(5)) != 0;
    font.font.underline = r.u8(param(5) + 1) != 0;
    font.font.strikeOut = r.u8(param(6)) != 0;
    font.font.charset = r.u8(param(6) + 1);
    // The face name runs to its zero byte or the record's end, 32 bytes at most.
    const std::uint64_t faceAt = param(9);
    QByteArray face;
    for (std::uint64_t i = 0; i < 32 && r.has(faceAt + i, 1) && r.u8(faceAt + i) != 0; ++i)
        face.append(char(r.u8(faceAt + i)));
    font.font.face = QString::fromLatin1(face);
    m_objects.addToFreeSlot(font);
}

void WmfPlayer::dibCreatePatternBrush(const RecordBytes &r)
{
    MetafileObject brush;
    brush.kind = MetafileObject::PatternBrush;
    if (r.u16(param(0)) == U_BS_DIBPATTERN && r.size() > param(2))
        brush.pattern = decodePackedDib(r.slice(param(2), r.size() - param(2)));
    m_objects.addToFreeSlot(brush);
}

void WmfPlayer::text(const RecordBytes &r, bool extended)
{
    if (!extended) {
        const std::uint64_t length = r.u16(param(0));
        const std::uint64_t padded = (length + 1) & ~std::uint64_t(1);
        const QString text = decodeText(r, param(1), length, m_canvas.state.font.charset);
        const std::uint64_t after = param(1) + padded;
        const QPointF at(r.i16(after + 2), r.i16(after));
        if (!r.failed())
            m_canvas.text(at, text, {});
        return;
    }
    const QPointF at = point(r, 0);
    const std::uint64_t length = r.u16(param(2));
    const std::uint16_t options = r.u16(param(3));
    std::uint64_t offset = param(4);
    std::optional<QRectF> opaque;
    if (options & (U_ETO_OPAQUE | U_ETO_CLIPPED)) {
        const QRectF rect(QPointF(r.i16(offset), r.i16(offset + 2)), QPointF(r.i16(offset + 4), r.i16(offset + 6)));
        if (options & U_ETO_OPAQUE)
            opaque = rect;
        offset += 8;
    }
    const QString text = decodeText(r, offset, length, m_canvas.state.font.charset);
    if (r.failed())
        return;
    offset += (length + 1) & ~std::uint64_t(1);
    std::vector<double> advances;
    if (r.has(offset, length * 2)) {
        for (std::uint64_t i = 0; i < length; ++i)
            advances.push_back(r.i16(offset + 2 * i));
    }
    m_canvas.text(at, text, advances, opaque ? &*opaque : nullptr);
}

void WmfPlayer::dib(const RecordBytes &r, int index)
{
    // Records without a bitmap are one word shorter than the size in their
    // function's high byte says, and fill with the brush instead.
    const std::uint16_t function = r.u16(4);
    const bool noBitmap = r.size() / 2 == std::uint64_t(function >> 8) + 3;
    const std::uint32_t rop = r.u32(param(0));
    int srcW = 0, srcH = 0, srcX = 0, srcY = 0;
    QRectF destination;
    std::uint64_t bitmapAt = 0;
    if (index == U_WMR_STRETCHDIB || index == U_WMR_DIBSTRETCHBLT || index == U_WMR_STRETCHBLT) {
        const int shift = index == U_WMR_STRETCHDIB ? 1 : 0;
        const int skip = noBitmap ? 1 : 0;
        srcH = r.i16(param(2 + shift + skip));
        srcW = r.i16(param(3 + shift + skip));
        srcY = r.i16(param(4 + shift + skip));
        srcX = r.i16(param(5 + shift + skip));
        const double h = r.i16(param(6 + shift + skip)), w = r.i16(param(7 + shift + skip));
        destination = QRectF(point(r, 8 + shift + skip), QSizeF(w, h));
        bitmapAt = param(10 + shift + skip);
    } else if (index == U_WMR_DIBBITBLT || index == U_WMR_BITBLT) {
        const int skip = noBitmap ? 1 : 0;
        srcY = r.i16(param(2 + skip));
        srcX = r.i16(param(3 + skip));
        const double h = r.i16(param(4 + skip)), w = r.i16(param(5 + skip));
        srcW = int(w);
        srcH = int(h);
        destination = QRectF(point(r, 6 + skip), QSizeF(w, h));
        bitmapAt = param(8 + skip);
    } else { // SETDIBTODEV
        srcY = r.i16(param(3));
        srcX = r.i16(param(4));
        const double h = r.i16(param(5)), w = r.i16(param(6));
        srcW = int(w);
        srcH = int(h);
        destination = QRectF(point(r, 7), QSizeF(w, h));
        bitmapAt = param(9);
    }
    if (r.failed())
        return;
    if (noBitmap) {
        m_canvas.fillBox(destination, rop);
        return;
    }
    // The old device-dependent bitmaps of BITBLT and STRETCHBLT are not drawn.
    if (index == U_WMR_BITBLT || index == U_WMR_STRETCHBLT)
        return;
    const RecordBytes packed = r.slice(bitmapAt, r.size() - std::min(bitmapAt, r.size()));
    if (r.failed())
        return;
    const QImage image = decodePackedDib(packed);
    if (image.isNull())
        return;
    // Source rows count from the bottom of a bottom-up bitmap.
    const QRectF source(srcX, image.height() - srcY - srcH, srcW, srcH);
    m_canvas.bitmap(destination, image, source, index == U_WMR_SETDIBTODEV ? U_SRCCOPY : rop);
}

// Plays every record onto a canvas whose mapping the caller has set; false
// when a record does not hold what its type needs.
bool playRecords(const RecordBytes &file, const WmfHeader &header, MetafileCanvas &canvas)
{
    // Each object needs a record of at least six bytes to create it, so a
    // table larger than that could never fill.
    WmfPlayer player(canvas, std::min<std::uint64_t>(header.objectCount, file.size() / 6));
    WmfRecords records(file, header.recordsStart);
    while (auto record = records.next()) {
        if (!player.play(*record))
            return false;
    }
    return !file.failed();
}

// Without a window extent the records are in pixels from the top left
// corner, as Windows plays them; the picture reaches as far as they draw.
bool measureDrawing(const RecordBytes &file, WmfHeader &header)
{
    QPicture recording;
    {
        MetafileCanvas canvas(recording);
        canvas.setDevice(QTransform(), 96.0 / 25.4, 96.0 / 25.4);
        if (!playRecords(file, header, canvas))
            return false;
    }
    const QRect drawn = recording.boundingRect();
    if (drawn.isEmpty() || drawn.right() < 0 || drawn.bottom() < 0)
        return false;
    header.box = QRectF(0, 0, double(drawn.right()) + 1, double(drawn.bottom()) + 1);
    return true;
}

std::optional<WmfHeader> readHeaderAndBox(const RecordBytes &file)
{
    std::optional<WmfHeader> header = readHeader(file);
    if (header && header->windowless && !measureDrawing(file, *header))
        return std::nullopt;
    return header;
}

// Draws every record; the window is mapped onto the whole target at first.
bool playWmf(const RecordBytes &file, const WmfHeader &header, QPaintDevice &target, QSize size)
{
    MetafileCanvas canvas(target);
    canvas.state.mapMode = U_MM_ANISOTROPIC;
    canvas.state.windowOrg = header.box.topLeft();
    canvas.state.windowExt = header.box.size();
    canvas.state.viewportExt = QSizeF(size);
    canvas.setDevice(QTransform(), 96.0 / 25.4, 96.0 / 25.4);
    return playRecords(file, header, canvas);
}

RecordBytes bytesOf(const QByteArray &data, bool &fault)
{
    return RecordBytes(reinterpret_cast<const unsigned char *>(data.constData()), std::uint64_t(data.size()), fault);
}

} // namespace

PictureOutcome decodeWmf(const QByteArray &data)
{
    const PictureFailure invalid = PictureFailure::of(PictureFailure::Kind::MetafileNotValid);
    bool fault = false;
    const RecordBytes file = bytesOf(data, fault);
    const std::optional<WmfHeader> header = readHeaderAndBox(file);
    if (!header)
        return invalid;
    std::int64_t width = 0, height = 0;
    const QSize size = naturalSize(*header, width, height);
    if (width == 0 || height == 0)
        return invalid;
    if (!pictureSizeAllowed(width, height))
        return PictureFailure::tooLarge(width, height);
    // Recorded, not rasterised: the window paints only what it shows.
    auto drawing = std::make_shared<QPicture>();
    if (!playWmf(file, *header, *drawing, size))
        return invalid;
    return Picture(std::move(drawing), size);
}

bool renderWmf(const QByteArray &data, QImage &target)
{
    bool fault = false;
    const RecordBytes file = bytesOf(data, fault);
    const std::optional<WmfHeader> header = readHeaderAndBox(file);
    return header && playWmf(file, *header, target, target.size());
}
