#pragma once
// Windows metafiles (WMF) and enhanced metafiles (EMF): the header gives the
// natural size, and the records are drawn by a renderer of our own, since no
// Linux library draws these formats. Unknown records are skipped; any
// structural fault gives "Metafile is not valid".

#include "picture/PictureDecode.h"

#include <QByteArray>

// Placeable WMF: bounding box at its units per inch, shown at 96 dpi.
PictureOutcome decodeWmf(const QByteArray &data);
// EMF: the frame, shown at 96 dpi.
PictureOutcome decodeEmf(const QByteArray &data);

// Draws a metafile scaled onto an image of any size, without the size limits;
// false when the file is not valid.
bool renderWmf(const QByteArray &data, QImage &target);
bool renderEmf(const QByteArray &data, QImage &target);
