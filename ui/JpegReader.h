#pragma once
// JPEG pictures through libjpeg, with library errors turned into messages
// instead of ending the program.

#include "ui/PictureDecode.h"

#include <QByteArray>

// Damaged progressive files can hold endless scans; past this the file is refused.
inline constexpr int MaxJpegScans = 1000;

// Grayscale, RGB, CMYK and YCCK files, baseline or progressive. Errors read
// "JPEG error #N" with the library's message code. A smaller pixel limit
// keeps fuzzing fast.
DecodedPicture decodeJpeg(const QByteArray &data, std::int64_t pixelLimit = MaxPicturePixels);
