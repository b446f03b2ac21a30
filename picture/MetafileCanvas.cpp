#include "picture/MetafileCanvas.h"

#include <QFontMetricsF>
#include <cmath>

namespace {

constexpr std::size_t MaxSavedStates = 4096;
// Beyond these a pen or font would only cost time: nothing larger fits a picture.
constexpr double MaxPenPixels = 32000; // the widest pen QPen accepts is a little under 2^15
constexpr double MaxFontPixels = 16384;
constexpr int MaxCachedGlyphPixels = 128;

// Beyond any picture within the limits, however the drawing is mapped.
constexpr double MaxClipExtent = 1e7;

bool finite(QPointF p)
{
    return std::isfinite(p.x()) && std::isfinite(p.y());
}

// Scaling records can multiply the mapping past any range; such a mapping
// draws nothing rather than hand infinities to the painter.
bool usable(const QTransform &t)
{
    const double values[] = { t.m11(), t.m12(), t.m21(), t.m22(), t.dx(), t.dy() };
    for (const double v : values) {
        if (!std::isfinite(v) || std::abs(v) > 1e12)
            return false;
    }
    return t.isInvertible();
}

double scaleOf(const QTransform &t, bool vertical)
{
    return vertical ? std::hypot(t.m21(), t.m22()) : std::hypot(t.m11(), t.m12());
}

} // namespace

QColor colorFromRef(std::uint32_t ref)
{
    return QColor(ref & 0xFF, (ref >> 8) & 0xFF, (ref >> 16) & 0xFF);
}

MetafileCanvas::MetafileCanvas(QPaintDevice &target)
    : m_painter(&target)
{
    m_painter.setRenderHint(QPainter::Antialiasing, true);
    m_painter.setRenderHint(QPainter::TextAntialiasing, true);
}

void MetafileCanvas::setDevice(const QTransform &deviceToImage, double pixelsPerMmX, double pixelsPerMmY)
{
    m_deviceToImage = deviceToImage;
    if (std::isfinite(pixelsPerMmX) && pixelsPerMmX > 0)
        m_pixelsPerMmX = pixelsPerMmX;
    if (std::isfinite(pixelsPerMmY) && pixelsPerMmY > 0)
        m_pixelsPerMmY = pixelsPerMmY;
}

QTransform MetafileCanvas::logicalToImage() const
{
    const State &s = state;
    double sx = 1;
    double sy = 1;
    // Millimetres per logical unit for the fixed metric and imperial modes.
    double mm = 0;
    switch (s.mapMode) {
    case U_MM_LOMETRIC:
        mm = 0.1;
        break;
    case U_MM_HIMETRIC:
        mm = 0.01;
        break;
    case U_MM_LOENGLISH:
        mm = 0.254;
        break;
    case U_MM_HIENGLISH:
        mm = 0.0254;
        break;
    case U_MM_TWIPS:
        mm = 25.4 / 1440;
        break;
    case U_MM_ISOTROPIC:
    case U_MM_ANISOTROPIC: {
        const double wx = s.windowExt.width() != 0 ? s.windowExt.width() : 1;
        const double wy = s.windowExt.height() != 0 ? s.windowExt.height() : 1;
        sx = s.viewportExt.width() / wx;
        sy = s.viewportExt.height() / wy;
        if (s.mapMode == U_MM_ISOTROPIC) {
            const double m = std::min(std::abs(sx), std::abs(sy));
            sx = std::copysign(m, sx);
            sy = std::copysign(m, sy);
        }
        break;
    }
    default:
        break;
    }
    if (mm > 0) {
        // These modes count y upwards.
        sx = mm * m_pixelsPerMmX;
        sy = -mm * m_pixelsPerMmY;
    }
    const QTransform page(
        sx, 0, 0, sy, s.viewportOrg.x() - s.windowOrg.x() * sx, s.viewportOrg.y() - s.windowOrg.y() * sy);
    return s.world * page * m_deviceToImage;
}

void MetafileCanvas::saveState()
{
    if (m_saved.size() < MaxSavedStates)
        m_saved.push_back(state);
}

void MetafileCanvas::restoreState(int which)
{
    const auto depth = std::int64_t(m_saved.size());
    const std::int64_t level = which < 0 ? depth + which : std::int64_t(which) - 1;
    if (level < 0 || level >= depth)
        return;
    state = m_saved[std::size_t(level)];
    m_saved.resize(std::size_t(level));
}

void MetafileCanvas::selectPen(std::uint32_t style, double width, std::uint32_t colour)
{
    QPen pen(colorFromRef(colour));
    switch (style & U_PS_STYLE_MASK) {
    case U_PS_DASH:
        pen.setStyle(Qt::DashLine);
        break;
    case U_PS_DOT:
        pen.setStyle(Qt::DotLine);
        break;
    case U_PS_DASHDOT:
        pen.setStyle(Qt::DashDotLine);
        break;
    case U_PS_DASHDOTDOT:
        pen.setStyle(Qt::DashDotDotLine);
        break;
    case U_PS_NULL:
        pen.setStyle(Qt::NoPen);
        break;
    default:
        pen.setStyle(Qt::SolidLine);
        break;
    }
    // End caps and joins sit in the upper bits of geometric pens.
    switch (style & U_PS_ENDCAP_MASK) {
    case U_PS_ENDCAP_SQUARE:
        pen.setCapStyle(Qt::SquareCap);
        break;
    case U_PS_ENDCAP_FLAT:
        pen.setCapStyle(Qt::FlatCap);
        break;
    default:
        pen.setCapStyle(Qt::RoundCap);
        break;
    }
    switch (style & U_PS_JOIN_MASK) {
    case U_PS_JOIN_BEVEL:
        pen.setJoinStyle(Qt::BevelJoin);
        break;
    case U_PS_JOIN_MITER:
        pen.setJoinStyle(Qt::MiterJoin);
        break;
    default:
        pen.setJoinStyle(Qt::RoundJoin);
        break;
    }
    state.pen = pen;
    state.penWidth = std::isfinite(width) ? std::abs(width) : 0;
}

void MetafileCanvas::selectBrush(std::uint32_t style, std::uint32_t colour, std::uint32_t hatch)
{
    static const Qt::BrushStyle hatches[] = { Qt::HorPattern, Qt::VerPattern, Qt::FDiagPattern, Qt::BDiagPattern,
        Qt::CrossPattern, Qt::DiagCrossPattern };
    if (style == U_BS_NULL)
        state.brush = QBrush(Qt::NoBrush);
    else if (style == U_BS_HATCHED && hatch <= U_HS_DIAGCROSS)
        state.brush = QBrush(colorFromRef(colour), hatches[hatch]);
    else if (style == U_BS_SOLID || style == U_BS_HATCHED)
        state.brush = QBrush(colorFromRef(colour));
    else
        state.brush = QBrush(Qt::gray); // pattern brushes without their pattern
}

void MetafileCanvas::selectPatternBrush(const QImage &pattern)
{
    state.brush = pattern.isNull() ? QBrush(Qt::gray) : QBrush(pattern);
}

void MetafileCanvas::selectStockObject(std::uint32_t index)
{
    switch (index | U_STOCK_OBJECT) {
    case U_WHITE_BRUSH:
        state.brush = QBrush(Qt::white);
        break;
    case U_LTGRAY_BRUSH:
        state.brush = QBrush(QColor(192, 192, 192));
        break;
    case U_GRAY_BRUSH:
        state.brush = QBrush(QColor(128, 128, 128));
        break;
    case U_DKGRAY_BRUSH:
        state.brush = QBrush(QColor(64, 64, 64));
        break;
    case U_BLACK_BRUSH:
        state.brush = QBrush(Qt::black);
        break;
    case U_NULL_BRUSH:
        state.brush = QBrush(Qt::NoBrush);
        break;
    case U_WHITE_PEN:
        selectPen(U_PS_SOLID, 0, 0xFFFFFF);
        break;
    case U_BLACK_PEN:
        selectPen(U_PS_SOLID, 0, 0);
        break;
    case U_NULL_PEN:
        selectPen(U_PS_NULL, 0, 0);
        break;
    case U_OEM_FIXED_FONT:
    case U_ANSI_FIXED_FONT:
    case U_ANSI_VAR_FONT:
    case U_SYSTEM_FONT:
    case U_DEVICE_DEFAULT_FONT:
    case U_SYSTEM_FIXED_FONT:
    case U_DEFAULT_GUI_FONT:
        state.font = MetafileFont();
        break;
    default:
        break;
    }
}

void MetafileCanvas::applyClip()
{
    // The painter maps a clip path by its transform at the time it is set.
    // Clip regions cover whole pixels, as on Windows, so their edges are not smoothed.
    if (m_appliedClip == state.clip)
        return;
    m_appliedClip = state.clip;
    m_painter.setTransform(QTransform());
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    if (state.clip)
        m_painter.setClipPath(*state.clip);
    else
        m_painter.setClipping(false);
    m_painter.setRenderHint(QPainter::Antialiasing, true);
}

namespace {

QPainterPath clipArea(const QTransform &t, const QRectF &box)
{
    QPainterPath area;
    area.addPolygon(t.map(QPolygonF(box.normalized())));
    area.closeSubpath();
    return area;
}

} // namespace

void MetafileCanvas::intersectClip(const QRectF &box)
{
    const QTransform t = logicalToImage();
    if (!usable(t))
        return;
    const QPainterPath area = clipArea(t, box);
    state.clip = state.clip ? state.clip->intersected(area) : area;
}

void MetafileCanvas::excludeClip(const QRectF &box)
{
    const QTransform t = logicalToImage();
    if (!usable(t))
        return;
    const QPainterPath area = clipArea(t, box);
    QPainterPath whole;
    whole.addRect(QRectF(-MaxClipExtent, -MaxClipExtent, 2 * MaxClipExtent, 2 * MaxClipExtent));
    state.clip = state.clip.value_or(whole).subtracted(area);
}

void MetafileCanvas::clipToPath(std::uint32_t mode)
{
    m_inPath = false;
    const QTransform t = logicalToImage();
    if (!usable(t))
        return;
    QPainterPath area = t.map(m_path);
    area.setFillRule(state.fillRule);
    m_path = QPainterPath();
    QPainterPath whole;
    whole.addRect(QRectF(-MaxClipExtent, -MaxClipExtent, 2 * MaxClipExtent, 2 * MaxClipExtent));
    const QPainterPath current = state.clip.value_or(whole);
    switch (mode) {
    case U_RGN_AND:
        state.clip = current.intersected(area);
        break;
    case U_RGN_OR:
        state.clip = current.united(area);
        break;
    case U_RGN_XOR:
        state.clip = current.united(area).subtracted(current.intersected(area));
        break;
    case U_RGN_DIFF:
        state.clip = current.subtracted(area);
        break;
    case U_RGN_COPY:
        state.clip = area;
        break;
    default:
        break;
    }
}

bool MetafileCanvas::preparePainter(bool stroke, bool fill)
{
    const QTransform t = logicalToImage();
    if (!usable(t))
        return false;
    applyClip();
    m_painter.setTransform(t);
    QPen pen = state.pen;
    if (stroke && pen.style() != Qt::NoPen) {
        // The width is set in picture pixels, so no scale of the mapping,
        // however extreme, can turn it into a width the painter rejects.
        const double scale = std::max(scaleOf(t, false), scaleOf(t, true));
        const double pixels = state.penWidth * scale;
        pen.setCosmetic(true);
        pen.setWidthF(std::isfinite(pixels) && pixels >= 1 ? std::min(pixels, MaxPenPixels) : 1);
    } else {
        pen = Qt::NoPen;
    }
    m_painter.setPen(pen);
    m_painter.setBrush(fill ? state.brush : QBrush(Qt::NoBrush));
    m_painter.setBackgroundMode(state.opaqueBack ? Qt::OpaqueMode : Qt::TransparentMode);
    m_painter.setBackground(state.backColor);
    return true;
}

void MetafileCanvas::draw(const QPainterPath &shape, bool fill)
{
    if (m_inPath) {
        m_path.addPath(shape);
        return;
    }
    if (!m_painter.isActive())
        return;
    if (!preparePainter(true, fill))
        return;
    QPainterPath filled = shape;
    filled.setFillRule(state.fillRule);
    m_painter.drawPath(filled);
}

void MetafileCanvas::pathAddAt(QPointF p)
{
    if (m_path.elementCount() == 0 || m_path.currentPosition() != p)
        m_path.moveTo(p);
}

void MetafileCanvas::moveTo(QPointF p)
{
    if (!finite(p))
        return;
    state.position = p;
    if (m_inPath)
        m_path.moveTo(p);
}

void MetafileCanvas::lineTo(QPointF p)
{
    if (!finite(p))
        return;
    if (m_inPath) {
        pathAddAt(state.position);
        m_path.lineTo(p);
    } else {
        QPainterPath line(state.position);
        line.lineTo(p);
        draw(line, false);
    }
    state.position = p;
}

void MetafileCanvas::polyline(const QPolygonF &points, bool fromCurrent)
{
    if (points.isEmpty())
        return;
    QPainterPath line(fromCurrent ? state.position : points.front());
    for (qsizetype i = fromCurrent ? 0 : 1; i < points.size(); ++i)
        line.lineTo(points[i]);
    if (fromCurrent)
        state.position = points.back();
    if (m_inPath) {
        if (fromCurrent)
            pathAddAt(line.elementAt(0));
        else
            m_path.moveTo(points.front());
        for (int i = 1; i < line.elementCount(); ++i)
            m_path.lineTo(line.elementAt(i));
        return;
    }
    draw(line, false);
}

void MetafileCanvas::polygon(const QPolygonF &points)
{
    if (points.size() < 2)
        return;
    QPainterPath shape;
    shape.addPolygon(points);
    shape.closeSubpath();
    draw(shape, true);
}

void MetafileCanvas::polyPolygon(const std::vector<QPolygonF> &polygons)
{
    QPainterPath shape;
    for (const QPolygonF &points : polygons) {
        shape.addPolygon(points);
        shape.closeSubpath();
    }
    draw(shape, true);
}

void MetafileCanvas::polyPolyline(const std::vector<QPolygonF> &lines)
{
    QPainterPath shape;
    for (const QPolygonF &points : lines)
        shape.addPolygon(points);
    draw(shape, false);
}

void MetafileCanvas::polyBezier(const QPolygonF &points, bool fromCurrent)
{
    if (points.isEmpty())
        return;
    qsizetype i = 0;
    QPainterPath curve(fromCurrent ? state.position : points[i++]);
    for (; i + 2 < points.size(); i += 3)
        curve.cubicTo(points[i], points[i + 1], points[i + 2]);
    if (fromCurrent)
        state.position = curve.currentPosition();
    if (m_inPath) {
        pathAddAt(curve.elementAt(0));
        m_path.connectPath(curve);
        return;
    }
    draw(curve, false);
}

void MetafileCanvas::rectangle(const QRectF &box)
{
    QPainterPath shape;
    shape.addRect(box.normalized());
    draw(shape, true);
}

void MetafileCanvas::roundRectangle(const QRectF &box, QSizeF corner)
{
    QPainterPath shape;
    shape.addRoundedRect(box.normalized(), std::abs(corner.width()) / 2, std::abs(corner.height()) / 2);
    draw(shape, true);
}

void MetafileCanvas::ellipse(const QRectF &box)
{
    QPainterPath shape;
    shape.addEllipse(box.normalized());
    draw(shape, true);
}

void MetafileCanvas::arc(ArcKind kind, const QRectF &rawBox, QPointF start, QPointF end)
{
    const QRectF box = rawBox.normalized();
    if (box.isEmpty() || !finite(start) || !finite(end))
        return;
    const QPointF c = box.center();
    // Angles of the two radial points, on the ellipse as if it were a circle.
    auto angle = [&](QPointF p) {
        return std::atan2(-(p.y() - c.y()) / box.height(), (p.x() - c.x()) / box.width()) * 180 / M_PI;
    };
    const double from = angle(start);
    double sweep = angle(end) - from;
    // Arcs run counter-clockwise; equal points give the whole ellipse.
    while (sweep <= 0)
        sweep += 360;
    QPainterPath shape;
    if (kind == ArcKind::Pie)
        shape.moveTo(c);
    else
        shape.arcMoveTo(box, from);
    if (kind == ArcKind::ArcTo) {
        shape = QPainterPath(state.position);
        QPainterPath arcStart;
        arcStart.arcMoveTo(box, from);
        shape.lineTo(arcStart.currentPosition());
    }
    shape.arcTo(box, from, sweep);
    if (kind == ArcKind::ArcTo)
        state.position = shape.currentPosition();
    if (kind == ArcKind::Chord || kind == ArcKind::Pie)
        shape.closeSubpath();
    draw(shape, kind == ArcKind::Chord || kind == ArcKind::Pie);
}

void MetafileCanvas::text(
    QPointF reference, const QString &string, const std::vector<double> &advances, const QRectF *opaqueBox)
{
    if (m_inPath || !m_painter.isActive() || !finite(reference))
        return;
    const QTransform t = logicalToImage();
    if (!usable(t))
        return;
    applyClip();
    if (opaqueBox) {
        m_painter.setTransform(t);
        m_painter.fillRect(opaqueBox->normalized(), state.backColor);
    }
    if (string.isEmpty())
        return;
    const MetafileFont &f = state.font;
    const double vertical = scaleOf(t, true);
    // A positive height counts the internal leading too, roughly a fifth of it.
    double logicalEm = f.height == 0 ? 12 : std::abs(f.height) * (f.height > 0 ? 0.8 : 1.0);
    double pixels = logicalEm * vertical;
    if (f.height == 0)
        pixels = 16;
    if (!std::isfinite(pixels) || pixels < 1)
        return;
    QFont font(f.face.isEmpty() ? QStringLiteral("Arial") : f.face);
    font.setPixelSize(int(std::lround(std::min(pixels, MaxFontPixels))));
    font.setWeight(QFont::Weight(std::clamp(f.weight, 100, 900)));
    font.setItalic(f.italic);
    font.setUnderline(f.underline);
    font.setStrikeOut(f.strikeOut);
    const QFontMetricsF metrics(font);

    const bool updateCp = state.textAlign & U_TA_UPDATECP;
    const QPointF anchor = t.map(updateCp ? state.position : reference);
    const double horizontal = scaleOf(t, false);
    std::vector<double> offsets;
    double width = 0;
    for (qsizetype i = 0; i < string.size(); ++i) {
        offsets.push_back(width);
        width += std::size_t(i) < advances.size() ? advances[std::size_t(i)] * horizontal
                                                  : metrics.horizontalAdvance(string[i]);
    }
    if (advances.empty())
        width = metrics.horizontalAdvance(string);
    double x = 0;
    if ((state.textAlign & U_TA_CENTER) == U_TA_CENTER)
        x = -width / 2;
    else if (state.textAlign & U_TA_RIGHT)
        x = -width;
    double y = metrics.ascent();
    if ((state.textAlign & U_TA_BASELINE) == U_TA_BASELINE)
        y = 0;
    else if (state.textAlign & U_TA_BOTTOM)
        y = -metrics.descent();

    m_painter.setTransform(QTransform());
    m_painter.translate(anchor);
    m_painter.rotate(-f.escapement / 10);
    if (state.opaqueBack)
        m_painter.fillRect(QRectF(x, y - metrics.ascent(), width, metrics.height()), state.backColor);
    m_painter.setFont(font);
    m_painter.setPen(state.textColor);
    // Large letters are filled as outlines: the painter would cache each one
    // as a bitmap, which for a letter thousands of pixels high runs to gigabytes.
    const bool outlines = font.pixelSize() > MaxCachedGlyphPixels;
    QPainterPath letters;
    const auto run = [&](QPointF at, const QString &part) {
        if (outlines)
            letters.addText(at, font, part);
        else
            m_painter.drawText(at, part);
    };
    if (advances.empty()) {
        run(QPointF(x, y), string);
    } else {
        for (qsizetype i = 0; i < string.size(); ++i)
            run(QPointF(x + offsets[std::size_t(i)], y), QString(string[i]));
    }
    if (outlines)
        m_painter.fillPath(letters, state.textColor);
    if (updateCp && horizontal > 0)
        state.position += QPointF(width / horizontal, 0);
}

void MetafileCanvas::bitmap(
    const QRectF &destination, const QImage &source, const QRectF &sourceRect, std::uint32_t rop)
{
    if (m_inPath || !m_painter.isActive() || source.isNull() || !usable(logicalToImage()))
        return;
    applyClip();
    m_painter.setTransform(logicalToImage());
    switch (rop) {
    case U_SRCAND:
        m_painter.setCompositionMode(QPainter::RasterOp_SourceAndDestination);
        break;
    case U_SRCPAINT:
        m_painter.setCompositionMode(QPainter::RasterOp_SourceOrDestination);
        break;
    case U_SRCINVERT:
        m_painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        break;
    default:
        break;
    }
    m_painter.drawImage(destination, source.convertToFormat(QImage::Format_RGB32), sourceRect);
    m_painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
}

void MetafileCanvas::fillBox(const QRectF &destination, std::uint32_t rop)
{
    if (m_inPath || !m_painter.isActive() || !usable(logicalToImage()))
        return;
    applyClip();
    m_painter.setTransform(logicalToImage());
    if (rop == U_BLACKNESS)
        m_painter.fillRect(destination, Qt::black);
    else if (rop == U_WHITENESS)
        m_painter.fillRect(destination, Qt::white);
    else if (rop == U_PATCOPY || rop == U_SRCCOPY)
        m_painter.fillRect(destination, state.brush);
}

void MetafileCanvas::beginPath()
{
    m_inPath = true;
    m_path = QPainterPath();
}

void MetafileCanvas::closeFigure()
{
    if (m_inPath)
        m_path.closeSubpath();
}

void MetafileCanvas::fillPath()
{
    m_inPath = false;
    if (m_painter.isActive() && preparePainter(false, true)) {
        m_path.setFillRule(state.fillRule);
        m_painter.drawPath(m_path);
    }
    m_path = QPainterPath();
}

void MetafileCanvas::strokePath()
{
    m_inPath = false;
    if (m_painter.isActive() && preparePainter(true, false))
        m_painter.drawPath(m_path);
    m_path = QPainterPath();
}

void MetafileCanvas::strokeAndFillPath()
{
    m_inPath = false;
    if (m_painter.isActive() && preparePainter(true, true)) {
        m_path.setFillRule(state.fillRule);
        m_painter.drawPath(m_path);
    }
    m_path = QPainterPath();
}
