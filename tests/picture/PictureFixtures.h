#pragma once
// Picture files made by the tests themselves: Qt writes bitmaps and icons,
// libjpeg compresses JPEGs and libUEMF's record builders write metafiles.

#include <QByteArray>
#include <QImage>
#include <QString>

#include <functional>

#include <uemf.h>
#include <uwmf.h>

// ScanHeavy: grayscale with every coefficient in a band of its own, refined
// bit by bit: a valid progression of 694 scans.
enum class JpegKind { Rgb, Gray, Cmyk, Progressive, ScanHeavy };

QByteArray bmpBytes(const QImage &image);
QByteArray icoBytes(const QImage &first, const QImage &second);
QByteArray pngBytes(const QImage &image);
QByteArray jpegBytes(const QImage &image, JpegKind kind);
// The last scan of a progressive file repeated until the file holds `scans` scans.
QByteArray withRepeatedScans(const QByteArray &progressive, int scans);

// 2 x 1 inches at 1440 units per inch (192 x 96 at 96 dpi): red rectangle on
// the left half, blue ellipse on the right, a green poly-polygon square in the
// middle of the left half, and a line of text.
QByteArray wmfBytes(const QString &scratchPath, int widthUnits = 2880, int heightUnits = 1440, int unitsPerInch = 1440);
// The same drawing as an EMF of 50.8 x 25.4 mm (192 x 96 at 96 dpi), with the
// right half's blue drawn as a bitmap and the green square as a filled path.
QByteArray emfBytes(const QString &scratchPath, int frameWidth = 5080, int frameHeight = 2540);

// A solid picture with one distinct pixel near each corner for orientation checks.
QImage markedImage(int width, int height);

// Metafiles of the records a test appends, each builder given the record
// appender and the object table. A WMF has a placeable header of width x
// height pixels (96 units an inch), or none when width is 0; an EMF's frame
// is width x height pixels on a 96-dpi reference device.
using RecordAdder = std::function<void(char *record)>;
QByteArray wmfDrawing(const QString &scratchPath, int width, int height,
    const std::function<void(const RecordAdder &add, WMFHANDLES *table)> &body);
QByteArray emfDrawing(const QString &scratchPath, int width, int height,
    const std::function<void(const RecordAdder &add, EMFHANDLES *table)> &body);
