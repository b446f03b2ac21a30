#include "ui/AppIcon.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// A knitted swatch: rows of V-shaped stitches on a navy tile, with a red
// diamond motif worked into the white ground, as it would sit on the grid.
constexpr int Stitches = 5;
constexpr int Rows = 5;
constexpr bool Motif[Rows][Stitches] = {
    { false, false, true, false, false },
    { false, true, true, true, false },
    { true, true, false, true, true },
    { false, true, true, true, false },
    { false, false, true, false, false },
};

void drawStitch(QPainter &painter, const QRectF &cell, const QColor &colour)
{
    // Two leaning loops meeting at the bottom, the shape of a knit stitch.
    const qreal w = cell.width();
    const qreal h = cell.height();
    QPainterPath left;
    left.moveTo(cell.left() + w * 0.5, cell.bottom());
    left.cubicTo(cell.left() + w * 0.05, cell.top() + h * 0.75, cell.left() + w * 0.0, cell.top(),
        cell.left() + w * 0.2, cell.top());
    left.lineTo(cell.left() + w * 0.5, cell.top() + h * 0.45);
    left.closeSubpath();
    QPainterPath right;
    right.moveTo(cell.left() + w * 0.5, cell.bottom());
    right.cubicTo(
        cell.left() + w * 0.95, cell.top() + h * 0.75, cell.left() + w, cell.top(), cell.left() + w * 0.8, cell.top());
    right.lineTo(cell.left() + w * 0.5, cell.top() + h * 0.45);
    right.closeSubpath();
    painter.setBrush(colour);
    painter.drawPath(left);
    painter.drawPath(right);
}

} // namespace

QImage drawApplicationIcon(int size)
{
    size = std::max(size, 1);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing, size > 16);
    painter.scale(size / 32.0, size / 32.0);

    const QRectF tile(1, 1, 30, 30);
    painter.setPen(QPen(QColor(0, 0, 96), 1.0));
    painter.setBrush(QColor(0, 0, 128));
    painter.drawRoundedRect(tile, 4, 4);

    const QColor ground(255, 255, 255);
    const QColor motif(204, 0, 0);
    const qreal cellW = 26.0 / Stitches;
    const qreal cellH = 26.0 / Rows;
    painter.setPen(Qt::NoPen);
    for (int r = 0; r < Rows; ++r) {
        for (int s = 0; s < Stitches; ++s) {
            const QRectF cell(3 + s * cellW + 0.25, 3 + r * cellH + 0.25, cellW - 0.5, cellH - 0.5);
            const QColor &colour = Motif[r][s] ? motif : ground;
            // Below 24 pixels a stitch's loops blur together; a plain cell reads better.
            if (size < 24)
                painter.fillRect(cell, colour);
            else
                drawStitch(painter, cell, colour);
        }
    }
    painter.end();
    return image;
}
