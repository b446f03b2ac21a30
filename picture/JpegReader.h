#pragma once
// JPEG pictures through libjpeg, with library errors turned into messages
// instead of ending the program.

#include "picture/PictureDecode.h"

#include <QByteArray>

// Damaged progressive files can hold endless scans; past this the file is refused.
inline constexpr int MaxJpegScans = 1000;
// The decoding work grows with scans times the coefficient blocks each scan
// covers. A photograph at the size limit needs some ten million blocks in all
// its scans; a file that asks for more is treated as a broken progression.
inline constexpr std::int64_t MaxJpegBlocks = std::int64_t(1) << 25;

// Grayscale, RGB, CMYK and YCCK files, baseline or progressive. Errors read
// "JPEG error #N" with the library's message code; the warnings of a damaged
// stream are errors too. Smaller limits keep fuzzing fast.
PictureOutcome decodeJpeg(
    const QByteArray &data, std::int64_t pixelLimit = MaxPicturePixels, std::int64_t blockBudget = MaxJpegBlocks);
