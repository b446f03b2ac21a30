#pragma once
// Windows device-independent bitmaps, read by our own code for .bmp files
// and for the bitmaps inside metafiles: every header version, 1 to 32 bits a
// pixel, any bit-field masks, run-length data and top-down rows. Every size
// taken from a header is checked in 64-bit arithmetic before it is used.

#include "picture/MetafileBytes.h"
#include "picture/PictureDecode.h"

#include <QByteArray>
#include <QImage>

// A whole .bmp file: "Bitmap image is not valid", or too large, or the picture.
PictureOutcome decodeBmp(const QByteArray &file);

// A header (with its masks and colour table) and its pixel bits apart, as
// enhanced metafiles store them; a null image when the bitmap is unusable or
// larger than a picture may be.
QImage decodeDib(const RecordBytes &header, const RecordBytes &bits);
// A packed bitmap, whose bits follow its header and colour table.
QImage decodePackedDib(const RecordBytes &packed);
