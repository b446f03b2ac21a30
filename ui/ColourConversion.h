#pragma once
// TColor (0x00BBGGRR) to Qt's colour and back. The byte order is kept once, in
// model::pixelOf; the top byte of a TColor is ignored.

#include "model/GridRaster.h"

#include <QColor>

inline QColor toQColor(model::TColor color)
{
    return QColor::fromRgb(model::pixelOf(color));
}

inline model::TColor fromQColor(const QColor &color)
{
    return model::colorOfPixel(color.rgb());
}
