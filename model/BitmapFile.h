#pragma once
// Windows bitmap (BMP) files written straight from a picture, line by line,
// so a picture of hundreds of megabytes never has a second copy in memory.

#include "model/AtomicFile.h"
#include "model/GridRaster.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace model {

// A picture to write: with a colour table (at most 256 entries) its lines
// hold one byte per pixel, the position of its colour in the table, and the
// file is 8-bit; without one they hold Pixels and the file is 24-bit.
struct BitmapSource {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<Pixel> colourTable;
    // The first pixel of line y, counted from the top.
    std::function<const void *(std::int32_t y)> line;
};

// The file's size in bytes; 0 when the picture cannot be a bitmap (no pixels,
// more than 256 colours, or 4 GB and more).
std::uint64_t bitmapFileSize(const BitmapSource &picture);

// Writes the picture through an atomic file, replacing target only once the
// whole file is on disk, and keeping the replaced file as its backup. Holds
// at most a few hundred kilobytes of it at once.
Outcome<> WriteBitmapFile(
    const std::string &target, const BitmapSource &picture, const FileSystemCalls &calls = FileSystemCalls::system());

} // namespace model
