#pragma once
// The preview picture as a QImage, and its bitmap file. A pattern of at most
// 256 colours with the grid's black (the usual case) gives an 8-bit picture
// with a colour table, a quarter of the memory of a 32-bit one.

#include "model/AtomicFile.h"
#include "model/Pattern.h"

#include <QImage>
#include <QString>

// A new picture with cells of cellSize pixels, on memory of its own (huge
// pages when large); null when the size is refused or memory cannot be had.
QImage drawPreviewPicture(const model::Pattern &pattern, int cellSize, bool grid);

// Writes the picture to fileName as a bitmap, line by line: 8-bit with its
// colour table when it has one, otherwise 24-bit.
model::Outcome<> saveBitmapFile(const QImage &picture, const QString &fileName);
