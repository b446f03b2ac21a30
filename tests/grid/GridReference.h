#pragma once
// The slow way to draw the grid: every cell of the pattern as one outlined
// rectangle with QPainter, in order, onto an image of the requested area.

#include "model/GridGeometry.h"
#include "model/Pattern.h"
#include "ui/ColourConversion.h"
#include "ui/PaletteSwatch.h"

#include <QImage>
#include <QPainter>

inline QImage referenceGrid(const model::Pattern &pattern, int pitch, QSize paintArea, QRect area, QColor background)
{
    QImage image(area.size(), QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    painter.translate(-area.topLeft());
    painter.setClipRect(QRect(QPoint(0, 0), paintArea));
    painter.setPen(QPen(Qt::black, 1));
    const int step = pitch - 1;
    for (int r = 0; r < pattern.RowCount; ++r)
        for (int s = 0; s < pattern.StitchCount; ++s) {
            painter.setBrush(toQColor(pattern.at(s, r)));
            // A QPainter rectangle of width w covers w + 1 pixels with its outline.
            painter.drawRect(s * step, r * step, pitch - 1, pitch - 1);
        }
    return image;
}

// The first pixel where two images differ, as text; empty when they match.
inline QString firstDifference(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return QStringLiteral("size %1x%2, expected %3x%4")
            .arg(actual.width())
            .arg(actual.height())
            .arg(expected.width())
            .arg(expected.height());
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y))
                return QStringLiteral("pixel %1,%2 is %3, expected %4")
                    .arg(x)
                    .arg(y)
                    .arg(actual.pixel(x, y), 8, 16)
                    .arg(expected.pixel(x, y), 8, 16);
    return QString();
}
