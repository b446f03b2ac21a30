#include "model/QuarterTurn.h"

#include <algorithm>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace model {

namespace {

// A tile is 16 x 16 cells: one cache line of each new row, turned in 4 x 4
// blocks. Rows of a power-of-two width all fall into the same cache sets;
// reading each old line through in one go keeps only a few of them alive at a
// time. A large result is turned into a small buffer first and streamed out
// whole lines, so no new line is read in or written twice.
constexpr std::size_t Tile = 16;

struct Geometry {
    const TColor *src;
    std::size_t w, h;
    Turn turn;
    TColor *dst;

    // The new row and column of old (s, r).
    std::size_t newRow(std::size_t s) const { return turn == Turn::Left ? w - 1 - s : s; }
    std::size_t newColumn(std::size_t r) const { return turn == Turn::Left ? r : h - 1 - r; }
};

void turnCellByCell(const Geometry &g, std::size_t s0, std::size_t s1, std::size_t r0, std::size_t r1)
{
    for (std::size_t r = r0; r < r1; ++r) {
        const TColor *row = g.src + r * g.w;
        for (std::size_t s = s0; s < s1; ++s)
            g.dst[g.newRow(s) * g.h + g.newColumn(r)] = row[s];
    }
}

// out[k * step + j] = old (s0 + k, r0 + j) for a left turn; the same with j
// counted from the bottom of the tile for a right turn, so that every row of
// out reads left to right as its new row does.
// Each turn gets code of its own: in the cache the tile is bound by its
// instructions. FromMemory: the old rows come from memory rather than the
// cache, and are taken top down either way, which the prefetcher follows
// best; otherwise out is written left to right, which the cache takes best.
template <Turn T, bool FromMemory>
void turnTileInto(const Geometry &g, std::size_t s0, std::size_t r0, TColor *out, std::ptrdiff_t step)
{
#if defined(__SSE2__)
    for (std::size_t group = 0; group < Tile; group += 4) {
        const std::size_t j = T == Turn::Left || !FromMemory ? group : Tile - 4 - group;
        const TColor *rows[4];
        for (std::size_t i = 0; i < 4; ++i) {
            // A right turn takes the old rows bottom up.
            const std::size_t r = T == Turn::Left ? r0 + j + i : r0 + Tile - 1 - j - i;
            rows[i] = g.src + r * g.w + s0;
        }
        for (std::size_t k = 0; k < Tile; k += 4) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[0] + k));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[1] + k));
            const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[2] + k));
            const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i *>(rows[3] + k));
            const __m128i ab0 = _mm_unpacklo_epi32(a, b), ab1 = _mm_unpackhi_epi32(a, b);
            const __m128i cd0 = _mm_unpacklo_epi32(c, d), cd1 = _mm_unpackhi_epi32(c, d);
            TColor *row = out + std::ptrdiff_t(k) * step + std::ptrdiff_t(j);
            _mm_storeu_si128(reinterpret_cast<__m128i *>(row), _mm_unpacklo_epi64(ab0, cd0));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(row + step), _mm_unpackhi_epi64(ab0, cd0));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(row + 2 * step), _mm_unpacklo_epi64(ab1, cd1));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(row + 3 * step), _mm_unpackhi_epi64(ab1, cd1));
        }
    }
#else
    for (std::size_t j = 0; j < Tile; ++j) {
        const std::size_t r = T == Turn::Left ? r0 + j : r0 + Tile - 1 - j;
        const TColor *row = g.src + r * g.w + s0;
        for (std::size_t k = 0; k < Tile; ++k)
            out[std::ptrdiff_t(k) * step + std::ptrdiff_t(j)] = row[k];
    }
#endif
}

// A result this large is not read again soon: its lines go straight to
// memory, which also spares reading each one in before it is overwritten.
constexpr std::size_t StreamingBytes = std::size_t(8) << 20;

template <Turn T> void turnTile(const Geometry &g, std::size_t s0, std::size_t r0)
{
    // The tile's new columns start at the new column of its first row (left)
    // or of its last row (right); its new rows run up (left) or down (right).
    const std::size_t column = g.newColumn(T == Turn::Left ? r0 : r0 + Tile - 1);
    const std::ptrdiff_t step = T == Turn::Left ? -std::ptrdiff_t(g.h) : std::ptrdiff_t(g.h);
    turnTileInto<T, false>(g, s0, r0, g.dst + g.newRow(s0) * g.h + column, step);
}

#if defined(__SSE2__)
// A band of this many old rows that are short (at most ShortRow cells) is
// turned into a buffer and streamed out, so that each new row gets several
// whole lines in a row rather than one line far from the last: memory takes
// runs much faster than scattered lines. Long rows go a tile at a time.
constexpr std::size_t Band = 64;
constexpr std::size_t ShortRow = 256;

// The Rows old rows from r0, their new lines on cache lines of their own.
template <Turn T, std::size_t Rows> void streamBand(const Geometry &g, std::size_t r0, std::size_t fullW)
{
    alignas(64) TColor buffer[Tile][Rows];
    const std::size_t column = T == Turn::Left ? r0 : g.h - r0 - Rows;
    for (std::size_t s0 = 0; s0 < fullW; s0 += Tile) {
        for (std::size_t j0 = 0; j0 < Rows; j0 += Tile)
            turnTileInto<T, true>(g, s0, r0 + j0, &buffer[0][T == Turn::Left ? j0 : Rows - Tile - j0], Rows);
        for (std::size_t k = 0; k < Tile; ++k) {
            TColor *line = g.dst + g.newRow(s0 + k) * g.h + column;
            for (std::size_t j = 0; j < Rows; j += 4)
                _mm_stream_si128(reinterpret_cast<__m128i *>(line + j),
                    _mm_load_si128(reinterpret_cast<const __m128i *>(&buffer[k][j])));
        }
    }
    turnCellByCell(g, fullW, g.w, r0, r0 + Rows);
}
#endif

template <Turn T> void turnAs(const TColor *src, std::size_t w, std::size_t h, TColor *dst)
{
    const Geometry g { src, w, h, T, dst };
    const std::size_t fullW = w - w % Tile, fullH = h - h % Tile;
#if defined(__SSE2__)
    // Streaming needs every tile line on a cache line of its own.
    if (w * h * sizeof(TColor) >= StreamingBytes && h % Tile == 0
        && reinterpret_cast<std::uintptr_t>(dst) % (Tile * sizeof(TColor)) == 0) {
        // Bands of long rows would be read as many streams far apart.
        std::size_t r0 = 0;
        for (; w <= ShortRow && r0 + Band <= h; r0 += Band)
            streamBand<T, Band>(g, r0, fullW);
        for (; r0 < h; r0 += Tile)
            streamBand<T, Tile>(g, r0, fullW);
        _mm_sfence(); // streamed lines are visible before the result is used
        return;
    }
#endif
    // Strips of Tile old rows: each is read once, front to back. A right
    // turn of a pattern in the cache takes them bottom up, so that it writes
    // its new rows forwards; from memory it reads best top down.
    const bool upwards = T == Turn::Right && w * h * sizeof(TColor) < StreamingBytes;
    for (std::size_t done = 0; done < fullH; done += Tile) {
        const std::size_t r0 = upwards ? fullH - Tile - done : done;
        for (std::size_t s0 = 0; s0 < fullW; s0 += Tile)
            turnTile<T>(g, s0, r0);
        turnCellByCell(g, fullW, w, r0, r0 + Tile);
    }
    turnCellByCell(g, 0, w, fullH, h);
}

} // namespace

void quarterTurn(const TColor *src, std::size_t w, std::size_t h, Turn turn, TColor *dst)
{
    if (turn == Turn::Left)
        turnAs<Turn::Left>(src, w, h, dst);
    else
        turnAs<Turn::Right>(src, w, h, dst);
}

} // namespace model
