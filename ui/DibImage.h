#pragma once
// Device-independent bitmaps as metafiles embed them: a header, an optional
// colour table and the pixel rows.

#include "ui/MetafileBytes.h"

#include <QImage>

// Decodes a header-plus-bits pair; a null image when the bitmap is unusable
// or larger than a picture may be.
QImage decodeDib(const RecordBytes &header, const RecordBytes &bits);
// The same for a packed bitmap, whose bits follow its header and colour table.
QImage decodePackedDib(const RecordBytes &packed);
