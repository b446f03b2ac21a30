#pragma once
// Renders any rectangle of the grid's paint area straight into 32-bit pixels,
// scan line by scan line, touching only the cells that meet the rectangle.

#include "model/GridGeometry.h"
#include "model/Pattern.h"

#include <cstddef>
#include <cstdint>

namespace model {

// Pixels are 0xFFRRGGBB words, the layout of 32-bit RGB images.
using Pixel = std::uint32_t;

constexpr Pixel pixelOf(TColor color)
{
    return 0xFF000000u | ((color & 0xFFu) << 16) | (color & 0xFF00u) | ((color >> 16) & 0xFFu);
}

// The inverse of pixelOf; the alpha byte is dropped.
constexpr TColor colorOfPixel(Pixel pixel)
{
    return TColor(((pixel >> 16) & 0xFFu) | (pixel & 0xFF00u) | ((pixel & 0xFFu) << 16));
}

struct PixelBuffer {
    Pixel *pixels = nullptr; // the rectangle's top-left pixel
    std::ptrdiff_t stride = 0; // pixels from one line to the next
};

// Fills rect (paint-area pixels) into out. The grid is drawn at pitch and
// clipped to the paint area; pixels outside it, or inside it but under no
// cell, get background. A pattern without cells draws background only.
void renderGrid(const Pattern &pattern, int pitch, PaintAreaSize paintArea, const PixelRect &rect, PixelBuffer out,
    Pixel background);

} // namespace model
