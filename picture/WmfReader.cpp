#include "picture/BitmapReader.h"
#include "picture/MetafileCanvas.h"
#include "picture/MetafileObjects.h"
#include "picture/MetafileReader.h"
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

// A record's words and its function; throws on a record that overruns the file.
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
    // The next record, or nothing after the end-of-file record.
    std::optional<WmfRecord> next()
    {
        if (m_done)
            return std::nullopt;
        const std::uint64_t words = m_file.u32(m_pos);
        const std::uint16_t function = m_file.u16(m_pos + 4);
        if (words < 3)
            throw MetafileInvalid();
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

WmfHeader readHeader(const RecordBytes &file)
{
    WmfHeader header;
    std::uint64_t at = 0;
    if (file.has(0, 4) && file.u32(0) == PlaceableKey) {
        const double left = file.i16(6), top = file.i16(8), right = file.i16(10), bottom = file.i16(12);
        header.unitsPerInch = file.u16(14);
        if (header.unitsPerInch == 0)
            throw MetafileInvalid();
        header.box = QRectF(QPointF(left, top), QPointF(right, bottom));
        at = U_SIZE_WMRPLACEABLE;
    }
    const std::uint16_t type = file.u16(at);
    const std::uint16_t headerWords = file.u16(at + 2);
    if ((type != U_MEMORYMETAFILE && type != U_DISKMETAFILE) || headerWords != U_SIZE_WMRHEADER / 2)
        throw MetafileInvalid();
    file.require(at, U_SIZE_WMRHEADER);
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
        if (extent)
            header.box = QRectF(origin.value_or(QPointF()), *extent);
        header.windowless = !extent;
    }
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
    bytes.require(offset, length);
    return decodeCharsetText(bytes.data() + offset, length, charset);
}


class WmfPlayer {
public:
    WmfPlayer(MetafileCanvas &canvas, std::size_t objectCount)
        : m_canvas(canvas)
        , m_objects(objectCount)
    {
    }

    void play(const WmfRecord &record);

private:
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
        r.requireArray(offset, count, 4);
        QPolygonF result;
        result.reserve(qsizetype(count));
        for (std::uint64_t i = 0; i < count; ++i)
            result.append(QPointF(r.i16(offset + 4 * i), r.i16(offset + 4 * i + 2)));
        return result;
    }
    void textOut(const RecordBytes &r, bool extended);
    void dib(const RecordBytes &r, std::uint16_t function);

    MetafileCanvas &m_canvas;
    MetafileObjectTable m_objects;
};

void WmfPlayer::textOut(const RecordBytes &r, bool extended)
{
    if (!extended) {
        const std::uint64_t length = r.u16(param(0));
        const std::uint64_t padded = (length + 1) & ~std::uint64_t(1);
        const QString text = decodeText(r, param(1), length, m_canvas.state.font.charset);
        const std::uint64_t after = param(1) + padded;
        const QPointF at(r.i16(after + 2), r.i16(after));
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
    offset += (length + 1) & ~std::uint64_t(1);
    std::vector<double> advances;
    if (r.has(offset, length * 2)) {
        for (std::uint64_t i = 0; i < length; ++i)
            advances.push_back(r.i16(offset + 2 * i));
    }
    m_canvas.text(at, text, advances, opaque ? &*opaque : nullptr);
}

void WmfPlayer::dib(const RecordBytes &r, std::uint16_t function)
{
    // Records without a bitmap are one word shorter than the size in their
    // function's high byte says, and fill with the brush instead.
    const bool noBitmap = r.size() / 2 == std::uint64_t(function >> 8) + 3;
    const std::uint32_t rop = r.u32(param(0));
    const int index = function & U_WMR_MASK;
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
    if (noBitmap) {
        m_canvas.fillBox(destination, rop);
        return;
    }
    // The old device-dependent bitmaps of BITBLT and STRETCHBLT are not drawn.
    if (index == U_WMR_BITBLT || index == U_WMR_STRETCHBLT)
        return;
    if (bitmapAt > r.size())
        throw MetafileInvalid();
    const QImage image = decodePackedDib(r.slice(bitmapAt, r.size() - bitmapAt));
    if (image.isNull())
        return;
    // Source rows count from the bottom of a bottom-up bitmap.
    const QRectF source(srcX, image.height() - srcY - srcH, srcW, srcH);
    m_canvas.bitmap(destination, image, source, index == U_WMR_SETDIBTODEV ? U_SRCCOPY : rop);
}

void WmfPlayer::play(const WmfRecord &record)
{
    const RecordBytes &r = record.bytes;
    MetafileCanvas::State &s = m_canvas.state;
    switch (record.function & U_WMR_MASK) {
    case U_WMR_SETBKCOLOR:
        s.backColor = colorFromRef(r.u32(param(0)));
        break;
    case U_WMR_SETBKMODE:
        s.opaqueBack = r.u16(param(0)) == U_OPAQUE;
        break;
    case U_WMR_SETMAPMODE:
        s.mapMode = r.u16(param(0));
        break;
    case U_WMR_SETPOLYFILLMODE:
        s.fillRule = r.u16(param(0)) == U_WINDING ? Qt::WindingFill : Qt::OddEvenFill;
        break;
    case U_WMR_SETTEXTCOLOR:
        s.textColor = colorFromRef(r.u32(param(0)));
        break;
    case U_WMR_SETTEXTALIGN:
        s.textAlign = r.u16(param(0));
        break;
    case U_WMR_SETWINDOWORG:
        s.windowOrg = point(r, 0);
        break;
    case U_WMR_SETWINDOWEXT:
        s.windowExt = QSizeF(r.i16(param(1)), r.i16(param(0)));
        break;
    case U_WMR_OFFSETWINDOWORG:
        s.windowOrg += point(r, 0);
        break;
    case U_WMR_SCALEWINDOWEXT: {
        const double yDen = r.i16(param(0)), yNum = r.i16(param(1)), xDen = r.i16(param(2)), xNum = r.i16(param(3));
        if (xDen != 0 && yDen != 0)
            s.windowExt = QSizeF(s.windowExt.width() * xNum / xDen, s.windowExt.height() * yNum / yDen);
        break;
    }
    // The viewport belongs to the player: it is the whole picture, so the
    // file's viewport records are left out.
    case U_WMR_SETVIEWPORTORG:
    case U_WMR_SETVIEWPORTEXT:
        break;
    case U_WMR_MOVETO:
        m_canvas.moveTo(point(r, 0));
        break;
    case U_WMR_LINETO:
        m_canvas.lineTo(point(r, 0));
        break;
    case U_WMR_RECTANGLE:
        m_canvas.rectangle(box(r, 0));
        break;
    case U_WMR_ELLIPSE:
        m_canvas.ellipse(box(r, 0));
        break;
    case U_WMR_ROUNDRECT:
        m_canvas.roundRectangle(box(r, 2), QSizeF(r.i16(param(1)), r.i16(param(0))));
        break;
    case U_WMR_ARC:
        m_canvas.arc(MetafileCanvas::ArcKind::Arc, box(r, 4), point(r, 2), point(r, 0));
        break;
    case U_WMR_CHORD:
        m_canvas.arc(MetafileCanvas::ArcKind::Chord, box(r, 4), point(r, 2), point(r, 0));
        break;
    case U_WMR_PIE:
        m_canvas.arc(MetafileCanvas::ArcKind::Pie, box(r, 4), point(r, 2), point(r, 0));
        break;
    case U_WMR_POLYGON:
        m_canvas.polygon(points(r, param(1), r.u16(param(0))));
        break;
    case U_WMR_POLYLINE:
        m_canvas.polyline(points(r, param(1), r.u16(param(0))));
        break;
    case U_WMR_POLYPOLYGON: {
        const std::uint64_t polygons = r.u16(param(0));
        r.requireArray(param(1), polygons, 2);
        std::uint64_t at = param(1) + polygons * 2;
        std::vector<QPolygonF> shapes;
        for (std::uint64_t i = 0; i < polygons; ++i) {
            const std::uint64_t count = r.u16(param(1) + 2 * i);
            shapes.push_back(points(r, at, count));
            at += count * 4;
        }
        m_canvas.polyPolygon(shapes);
        break;
    }
    case U_WMR_TEXTOUT:
        textOut(r, false);
        break;
    case U_WMR_EXTTEXTOUT:
        textOut(r, true);
        break;
    case U_WMR_INTERSECTCLIPRECT:
        m_canvas.intersectClip(box(r, 0));
        break;
    case U_WMR_EXCLUDECLIPRECT:
        m_canvas.excludeClip(box(r, 0));
        break;
    case U_WMR_SELECTCLIPREGION:
        // Regions are not kept, so selecting one clips to nothing less than the picture.
        m_canvas.resetClip();
        break;
    case U_WMR_SAVEDC:
        m_canvas.saveState();
        break;
    case U_WMR_RESTOREDC:
        m_canvas.restoreState(r.i16(param(0)));
        break;
    case U_WMR_SELECTOBJECT:
        m_objects.select(r.u16(param(0)), m_canvas);
        break;
    case U_WMR_DELETEOBJECT:
        m_objects.remove(r.u16(param(0)));
        break;
    case U_WMR_CREATEPENINDIRECT: {
        MetafileObject pen;
        pen.kind = MetafileObject::Pen;
        pen.style = r.u16(param(0));
        pen.width = r.i16(param(1));
        pen.colour = r.u32(param(3));
        m_objects.addToFreeSlot(pen);
        break;
    }
    case U_WMR_CREATEBRUSHINDIRECT: {
        MetafileObject brush;
        brush.kind = MetafileObject::Brush;
        brush.style = r.u16(param(0));
        brush.colour = r.u32(param(1));
        brush.hatch = r.u16(param(3));
        m_objects.addToFreeSlot(brush);
        break;
    }
    case U_WMR_CREATEFONTINDIRECT: {
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
        break;
    }
    case U_WMR_DIBCREATEPATTERNBRUSH: {
        MetafileObject brush;
        brush.kind = MetafileObject::PatternBrush;
        if (r.u16(param(0)) == U_BS_DIBPATTERN && r.size() > param(2))
            brush.pattern = decodePackedDib(r.slice(param(2), r.size() - param(2)));
        m_objects.addToFreeSlot(brush);
        break;
    }
    case U_WMR_CREATEPALETTE:
    case U_WMR_CREATEPATTERNBRUSH:
    case U_WMR_CREATEREGION:
    case U_WMR_CREATEBITMAPINDIRECT:
    case U_WMR_CREATEBITMAP: {
        // Not drawn, but they hold their slot so later indices stay right.
        MetafileObject other;
        other.kind = MetafileObject::Other;
        m_objects.addToFreeSlot(other);
        break;
    }
    case U_WMR_PATBLT: {
        const QRectF area(point(r, 4), QSizeF(r.i16(param(3)), r.i16(param(2))));
        m_canvas.fillBox(area, r.u32(param(0)));
        break;
    }
    case U_WMR_STRETCHDIB:
    case U_WMR_DIBSTRETCHBLT:
    case U_WMR_DIBBITBLT:
    case U_WMR_SETDIBTODEV:
    case U_WMR_BITBLT:
    case U_WMR_STRETCHBLT:
        dib(r, record.function);
        break;
    default:
        break;
    }
}

// Plays every record onto a canvas whose mapping the caller has set.
void playRecords(const RecordBytes &file, const WmfHeader &header, MetafileCanvas &canvas)
{
    // Each object needs a record of at least six bytes to create it, so a
    // table larger than that could never fill.
    WmfPlayer player(canvas, std::min<std::uint64_t>(header.objectCount, file.size() / 6));
    WmfRecords records(file, header.recordsStart);
    while (auto record = records.next())
        player.play(*record);
}

// Without a window extent the records are in pixels from the top left
// corner, as Windows plays them; the picture reaches as far as they draw.
void measureDrawing(const RecordBytes &file, WmfHeader &header)
{
    QPicture recording;
    {
        MetafileCanvas canvas(recording);
        canvas.setDevice(QTransform(), 96.0 / 25.4, 96.0 / 25.4);
        playRecords(file, header, canvas);
    }
    const QRect drawn = recording.boundingRect();
    if (drawn.isEmpty() || drawn.right() < 0 || drawn.bottom() < 0)
        throw MetafileInvalid();
    header.box = QRectF(0, 0, double(drawn.right()) + 1, double(drawn.bottom()) + 1);
}

WmfHeader readHeaderAndBox(const RecordBytes &file)
{
    WmfHeader header = readHeader(file);
    if (header.windowless)
        measureDrawing(file, header);
    return header;
}

// Draws every record; the window is mapped onto the whole target at first.
void playWmf(const RecordBytes &file, const WmfHeader &header, QPaintDevice &target, QSize size)
{
    MetafileCanvas canvas(target);
    canvas.state.mapMode = U_MM_ANISOTROPIC;
    canvas.state.windowOrg = header.box.topLeft();
    canvas.state.windowExt = header.box.size();
    canvas.state.viewportExt = QSizeF(size);
    canvas.setDevice(QTransform(), 96.0 / 25.4, 96.0 / 25.4);
    playRecords(file, header, canvas);
}

RecordBytes bytesOf(const QByteArray &data)
{
    return RecordBytes(reinterpret_cast<const unsigned char *>(data.constData()), std::uint64_t(data.size()));
}

} // namespace

PictureOutcome decodeWmf(const QByteArray &data)
{
    try {
        const RecordBytes file = bytesOf(data);
        const WmfHeader header = readHeaderAndBox(file);
        std::int64_t width = 0, height = 0;
        const QSize size = naturalSize(header, width, height);
        if (width == 0 || height == 0)
            throw MetafileInvalid();
        if (!pictureSizeAllowed(width, height))
            return PictureFailure::tooLarge(width, height);
        // Recorded, not rasterised: the window paints only what it shows.
        auto drawing = std::make_shared<QPicture>();
        playWmf(file, header, *drawing, size);
        return Picture(std::move(drawing), size);
    } catch (const MetafileInvalid &) {
        return PictureFailure::of(PictureFailure::Kind::MetafileNotValid);
    }
}

bool renderWmf(const QByteArray &data, QImage &target)
{
    try {
        const RecordBytes file = bytesOf(data);
        playWmf(file, readHeaderAndBox(file), target, target.size());
        return true;
    } catch (const MetafileInvalid &) {
        return false;
    }
}
