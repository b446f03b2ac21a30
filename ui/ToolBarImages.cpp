#include "ui/ToolBarImages.h"

#include "ui/LazyIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

const QColor Ink(40, 40, 48);

void drawPage(QPainter &p, QColor paper)
{
    QPainterPath page;
    page.moveTo(3.5, 1.5);
    page.lineTo(10.5, 1.5);
    page.lineTo(13.5, 4.5);
    page.lineTo(13.5, 14.5);
    page.lineTo(3.5, 14.5);
    page.closeSubpath();
    p.setPen(QPen(Ink, 1));
    p.setBrush(paper);
    p.drawPath(page);
    p.drawLine(QPointF(10.5, 1.5), QPointF(10.5, 4.5));
    p.drawLine(QPointF(10.5, 4.5), QPointF(13.5, 4.5));
}

void drawLens(QPainter &p, QPointF centre, qreal radius)
{
    p.setPen(QPen(QColor(60, 60, 60), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 0.7 + 4, radius * 0.7 + 4));
    p.setPen(QPen(Ink, 1.2));
    p.setBrush(QColor(200, 230, 255, 220));
    p.drawEllipse(centre, radius, radius);
}

void draw(QPainter &p, ToolBarImage image)
{
    switch (image) {
    case ToolBarImage::New: // a blank page with a small stitch grid
        drawPage(p, Qt::white);
        p.setPen(QPen(QColor(120, 150, 200), 1));
        for (qreal x = 5.5; x < 13; x += 2.5)
            p.drawLine(QPointF(x, 6), QPointF(x, 13));
        for (qreal y = 6.5; y < 14; y += 2.5)
            p.drawLine(QPointF(5, y), QPointF(12.5, y));
        break;
    case ToolBarImage::Open: { // an open folder
        p.setPen(QPen(QColor(120, 90, 20), 1));
        p.setBrush(QColor(230, 190, 80));
        p.drawRect(QRectF(1.5, 4.5, 11, 9));
        QPolygonF flap { QPointF(3.5, 7.5), QPointF(15.5, 7.5), QPointF(12.5, 13.5), QPointF(1.5, 13.5) };
        p.setBrush(QColor(250, 215, 110));
        p.drawPolygon(flap);
        p.drawLine(QPointF(1.5, 4.5), QPointF(3.5, 2.5));
        p.drawLine(QPointF(3.5, 2.5), QPointF(6.5, 2.5));
        p.drawLine(QPointF(6.5, 2.5), QPointF(7.5, 4.5));
        break;
    }
    case ToolBarImage::Save: // a floppy disk
        p.setPen(QPen(QColor(20, 40, 100), 1));
        p.setBrush(QColor(60, 100, 190));
        p.drawRect(QRectF(1.5, 1.5, 13, 13));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(210, 210, 215));
        p.drawRect(QRectF(3.5, 9.5, 9, 5));
        p.fillRect(QRectF(9, 2.5, 2, 3), QColor(60, 100, 190));
        break;
    case ToolBarImage::Preview: // a page under a magnifying glass
        drawPage(p, Qt::white);
        drawLens(p, QPointF(7, 7), 4);
        break;
    case ToolBarImage::Print: // a printer with a sheet
        p.setPen(QPen(Ink, 1));
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 1.5, 7, 5));
        p.setBrush(QColor(170, 170, 180));
        p.drawRoundedRect(QRectF(1.5, 6.5, 13, 6), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(4.5, 10.5, 7, 4));
        p.fillRect(QRectF(12, 8, 1.5, 1.5), QColor(40, 180, 60));
        break;
    case ToolBarImage::Palette: // four yarn colours
        p.setPen(QPen(Ink, 1));
        p.setBrush(QColor(220, 50, 50));
        p.drawEllipse(QRectF(1.5, 1.5, 6, 6));
        p.setBrush(QColor(40, 150, 60));
        p.drawEllipse(QRectF(8.5, 1.5, 6, 6));
        p.setBrush(QColor(50, 80, 200));
        p.drawEllipse(QRectF(1.5, 8.5, 6, 6));
        p.setBrush(QColor(240, 200, 40));
        p.drawEllipse(QRectF(8.5, 8.5, 6, 6));
        break;
    case ToolBarImage::Notes: // a page of written lines
        drawPage(p, QColor(255, 252, 220));
        p.setPen(QPen(QColor(70, 70, 120), 1));
        for (qreal y = 6.5; y < 14; y += 2)
            p.drawLine(QPointF(5, y), QPointF(y < 8 ? 9.5 : 12, y));
        break;
    case ToolBarImage::Exit: { // a door with an arrow leaving it
        p.setPen(QPen(QColor(90, 50, 20), 1));
        p.setBrush(QColor(170, 110, 60));
        p.drawRect(QRectF(1.5, 1.5, 7, 13));
        p.fillRect(QRectF(6, 8, 1.5, 1.5), QColor(250, 220, 100));
        p.setPen(QPen(QColor(200, 30, 30), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(8, 8), QPointF(14.5, 8));
        p.drawLine(QPointF(12, 5.5), QPointF(14.5, 8));
        p.drawLine(QPointF(12, 10.5), QPointF(14.5, 8));
        break;
    }
    case ToolBarImage::ZoomIn:
        drawLens(p, QPointF(6.5, 6.5), 5);
        p.setPen(QPen(Ink, 1.5));
        p.drawLine(QPointF(4, 6.5), QPointF(9, 6.5));
        p.drawLine(QPointF(6.5, 4), QPointF(6.5, 9));
        break;
    case ToolBarImage::Undo: { // a curved arrow turning back
        QPainterPath arc;
        arc.moveTo(4, 6);
        arc.cubicTo(9, 1, 16, 6, 12, 13);
        p.setPen(QPen(QColor(30, 90, 170), 2, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        p.drawPath(arc);
        p.setBrush(QColor(30, 90, 170));
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF { QPointF(1, 3), QPointF(7, 3.5), QPointF(3, 9) });
        break;
    }
    case ToolBarImage::Picture: // a framed landscape
        p.setPen(QPen(QColor(110, 70, 30), 1));
        p.setBrush(QColor(150, 205, 245));
        p.drawRect(QRectF(0.5, 2.5, 15, 11));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(250, 210, 40));
        p.drawEllipse(QPointF(11.5, 6), 2, 2);
        p.setBrush(QColor(60, 150, 70));
        p.drawPolygon(QPolygonF { QPointF(1, 13), QPointF(6, 6), QPointF(10, 13) });
        p.setBrush(QColor(40, 120, 55));
        p.drawPolygon(QPolygonF { QPointF(7, 13), QPointF(11, 9), QPointF(15, 13) });
        break;
    }
}

} // namespace

QPixmap toolBarPixmap(ToolBarImage image)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    draw(painter, image);
    return pixmap;
}

QIcon toolBarIcon(ToolBarImage image)
{
    return lazyIcon([image] { return QIcon(toolBarPixmap(image)); });
}
