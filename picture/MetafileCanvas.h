#pragma once
// The drawing state shared by the WMF and EMF walkers, and the drawing
// itself on a QPainter: mapping modes, the selected pen, brush and font,
// saved states, paths, text and bitmaps.

#include <uemf.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QTransform>
#include <cstdint>
#include <optional>
#include <vector>

// Windows colour value: 0x00BBGGRR.
QColor colorFromRef(std::uint32_t ref);

struct MetafileFont {
    double height = 0; // logical units; negative is the character height
    double escapement = 0; // tenths of a degree
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    std::uint8_t charset = U_DEFAULT_CHARSET; // eight-bit text reads as Windows-1251
    QString face;
};

class MetafileCanvas {
public:
    // Draws on an image or records into a picture.
    explicit MetafileCanvas(QPaintDevice &target);

    // Device pixels to image pixels, and the device's pixels per millimetre
    // for the metric mapping modes.
    void setDevice(const QTransform &deviceToImage, double pixelsPerMmX, double pixelsPerMmY);

    struct State {
        int mapMode = U_MM_TEXT;
        QPointF windowOrg, viewportOrg;
        QSizeF windowExt { 1, 1 }, viewportExt { 1, 1 };
        QTransform world;
        QPen pen { Qt::black };
        double penWidth = 0; // logical units; 0 is one device pixel
        QBrush brush { Qt::white };
        MetafileFont font;
        QColor textColor { Qt::black };
        QColor backColor { Qt::white };
        bool opaqueBack = true;
        Qt::FillRule fillRule = Qt::OddEvenFill;
        std::uint32_t textAlign = 0;
        QPointF position;
        // In picture pixels, so later mapping changes leave it as it was; none
        // is the whole picture.
        std::optional<QPainterPath> clip;
    };
    State state;

    void saveState();
    // Negative: that many levels back; positive: that saved level.
    void restoreState(int which);

    void selectPen(std::uint32_t style, double width, std::uint32_t colour);
    void selectBrush(std::uint32_t style, std::uint32_t colour, std::uint32_t hatch);
    void selectPatternBrush(const QImage &pattern);
    // Stock objects such as the black pen or the null brush.
    void selectStockObject(std::uint32_t index);

    void moveTo(QPointF p);
    void lineTo(QPointF p);
    void polyline(const QPolygonF &points, bool fromCurrent = false);
    void polygon(const QPolygonF &points);
    void polyPolygon(const std::vector<QPolygonF> &polygons);
    void polyPolyline(const std::vector<QPolygonF> &lines);
    void polyBezier(const QPolygonF &points, bool fromCurrent = false);
    void rectangle(const QRectF &box);
    void roundRectangle(const QRectF &box, QSizeF corner);
    void ellipse(const QRectF &box);
    enum class ArcKind { Arc, Chord, Pie, ArcTo };
    void arc(ArcKind kind, const QRectF &box, QPointF start, QPointF end);
    void text(
        QPointF reference, const QString &text, const std::vector<double> &advances, const QRectF *opaqueBox = nullptr);
    // ROP codes: copy, and/or/xor with the picture, pattern fills, black and white.
    void bitmap(const QRectF &destination, const QImage &source, const QRectF &sourceRect, std::uint32_t rop);
    void fillBox(const QRectF &destination, std::uint32_t rop);

    // The rectangle forms of clipping, in logical units, and the path forms
    // with their region modes (and, or, xor, difference, copy).
    void intersectClip(const QRectF &box);
    void excludeClip(const QRectF &box);
    void resetClip() { state.clip.reset(); }
    void clipToPath(std::uint32_t mode);

    void beginPath();
    void endPath() { m_inPath = false; }
    void closeFigure();
    void fillPath();
    void strokePath();
    void strokeAndFillPath();

private:
    QTransform logicalToImage() const;
    // False when the mapping cannot draw.
    bool preparePainter(bool stroke, bool fill);
    void draw(const QPainterPath &shape, bool fill);
    void pathAddAt(QPointF p);
    void applyClip();

    QPainter m_painter;
    QTransform m_deviceToImage;
    double m_pixelsPerMmX = 96 / 25.4;
    double m_pixelsPerMmY = 96 / 25.4;
    std::vector<State> m_saved;
    // The clip the painter holds, set again only when it changes: a recorded
    // drawing replays every clip it holds, and that cost grows with the records.
    std::optional<std::optional<QPainterPath>> m_appliedClip;
    bool m_inPath = false;
    QPainterPath m_path;
};
