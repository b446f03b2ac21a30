#include "model/PreviewImage.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace model {

std::optional<int> previewCellSize(std::string_view scaleText)
{
    for (std::size_t i = 0; i < PreviewScaleTexts.size(); ++i)
        if (PreviewScaleTexts[i] == scaleText)
            return PreviewCellSizes[i];
    return std::nullopt;
}

std::optional<PreviewSize> previewImageSize(std::int64_t stitchCount, std::int64_t rowCount, int cellSize)
{
    if (cellSize < 1 || stitchCount < 1 || rowCount < 1 || stitchCount > MaxPreviewSide || rowCount > MaxPreviewSide)
        return std::nullopt;
    const std::int64_t width = stitchCount * cellSize + 1;
    const std::int64_t height = rowCount * cellSize + 1;
    if (width > MaxPreviewSide || height > MaxPreviewSide || width * height > MaxPreviewPixels)
        return std::nullopt;
    return PreviewSize { std::int32_t(width), std::int32_t(height) };
}

namespace {

// One pixel line through a cell row, inside the cells (not on a grid line);
// colours holds the row's cells as pixel values.
template <typename P> void cellLine(const P *colours, std::size_t count, std::size_t s, bool grid, P black, P *line)
{
    if (s == 1) {
        std::memcpy(line, colours, count * sizeof(P));
        line += count;
    } else if (sizeof(P) == 1 && std::endian::native == std::endian::little && s <= 8) {
        // Small cells of bytes in one 8-byte store each; a store runs into
        // the next cell, which its own store then covers, so the last cell
        // (at the end of the line) is filled byte by byte.
        for (std::size_t k = 0; k + 1 < count; ++k, line += s) {
            std::uint64_t eight = std::uint64_t(colours[k]) * 0x0101010101010101u;
            if (grid)
                eight = (eight & ~std::uint64_t(0xFF)) | std::uint64_t(black);
            std::memcpy(line, &eight, sizeof eight);
        }
        std::fill_n(line, s, colours[count - 1]);
        if (grid)
            line[0] = black;
        line += s;
    } else {
        for (std::size_t k = 0; k < count; ++k, line += s) {
            std::fill_n(line, s, colours[k]);
            if (grid)
                line[0] = black;
        }
    }
    // The far edge: a grid line, or the last stitch once more.
    *line = grid ? black : colours[count - 1];
}

// Draws cell row after cell row, in order: rowColours(row, colours) gives the
// row's pixel values, or false to stop. Lines through the same cell row are
// identical, so only the first is drawn from the colours and the others are
// copies of it. With the grid at one pixel per cell every line is a grid line.
template <typename P, typename RowColours>
bool renderRows(
    const Pattern &pattern, int cellSize, bool grid, P black, P *pixels, std::ptrdiff_t stride, RowColours &&rowColours)
{
    const auto size = previewImageSize(pattern.StitchCount, pattern.RowCount, cellSize);
    if (!size || !pattern.exists())
        return false;
    const std::size_t s = std::size_t(cellSize);
    const std::size_t stitches = std::size_t(pattern.StitchCount);
    const std::size_t width = std::size_t(size->width);
    std::vector<P> colours(stitches);
    // One pixel per cell without the grid: the colours go straight into their line.
    const bool direct = s == 1 && !grid;
    for (std::size_t row = 0; row < std::size_t(pattern.RowCount); ++row) {
        const std::size_t y0 = row * s;
        if (!rowColours(row, direct ? pixels + std::ptrdiff_t(y0) * stride : colours.data()))
            return false;
        // The last row also owns the picture's bottom line.
        const std::size_t y1 = row + 1 == std::size_t(pattern.RowCount) ? std::size_t(size->height) : y0 + s;
        const P *first = nullptr;
        for (std::size_t y = y0; y < y1; ++y) {
            P *line = pixels + std::ptrdiff_t(y) * stride;
            if (grid && y % s == 0) {
                std::fill_n(line, width, black);
            } else if (first) {
                std::memcpy(line, first, width * sizeof(P));
            } else if (direct) {
                line[stitches] = line[stitches - 1]; // the far edge repeats the last stitch
                first = line;
            } else {
                cellLine(colours.data(), stitches, s, grid, black, line);
                first = line;
            }
        }
    }
    return true;
}

// A colour's home slot among the 4096 of the colour index.
constexpr std::uint32_t HashFactor = 2654435761u;
constexpr int HashShift = 20;
constexpr std::uint32_t ColourBits = 0x00FFFFFF;

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define PURLWISE_GATHER 1
// The positions of eight looked-up entries as eight bytes into out, when
// every entry holds its cell's colour; false otherwise.
__attribute__((target("avx2"))) inline bool storeWhereFound(__m256i entries, __m256i colours, std::uint8_t *out)
{
    const __m256i same = _mm256_cmpeq_epi32(_mm256_and_si256(entries, _mm256_set1_epi32(int(ColourBits))), colours);
    if (_mm256_movemask_epi8(same) != -1)
        return false;
    const __m256i positions = _mm256_srli_epi32(entries, 24);
    const __m128i words = _mm_packus_epi32(_mm256_castsi256_si128(positions), _mm256_extracti128_si256(positions, 1));
    _mm_storel_epi64(reinterpret_cast<__m128i *>(out), _mm_packus_epi16(words, words));
    return true;
}

// Eight lookups at once where the processor can gather: maps cells while all
// of a group of eight are in their home slots (atHome as in ColourIndex) and
// returns how many it mapped, a multiple of eight.
__attribute__((target("avx2"))) std::size_t mapAtHomeByEights(
    const std::uint32_t *atHome, const TColor *cells, std::size_t n, std::uint8_t *out)
{
    const __m256i factor = _mm256_set1_epi32(int(HashFactor));
    std::size_t k = 0;
    for (; k + 8 <= n; k += 8) {
        const __m256i colours = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(cells + k));
        const __m256i slots = _mm256_srli_epi32(_mm256_mullo_epi32(colours, factor), HashShift);
        const __m256i entries = _mm256_i32gather_epi32(reinterpret_cast<const int *>(atHome), slots, 4);
        if (!storeWhereFound(entries, colours, out + k))
            break;
    }
    return k;
}

// A few colours held in four registers, each in a slot of its own that a
// multiplicative hash picks: a lookup reads no memory, several times cheaper
// than a gather. Entries hold colour and position in one word like atHome.
constexpr std::size_t RegisterSlots = 32;
constexpr int RegisterShift = 27;

struct RegisterTable {
    std::uint32_t multiplier = 0;
    alignas(32) std::array<std::uint32_t, RegisterSlots> entries {};

    std::size_t slot(TColor colour) const { return (colour * multiplier) >> RegisterShift; }
};

__attribute__((target("avx2"))) std::size_t mapInRegistersByEights(
    const RegisterTable &table, const TColor *cells, std::size_t n, std::uint8_t *out)
{
    const __m256i factor = _mm256_set1_epi32(int(table.multiplier));
    const auto *entries = reinterpret_cast<const __m256i *>(table.entries.data());
    const __m256i e0 = _mm256_load_si256(entries), e1 = _mm256_load_si256(entries + 1),
                  e2 = _mm256_load_si256(entries + 2), e3 = _mm256_load_si256(entries + 3);
    std::size_t k = 0;
    for (; k + 8 <= n; k += 8) {
        const __m256i colours = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(cells + k));
        const __m256i slots = _mm256_srli_epi32(_mm256_mullo_epi32(colours, factor), RegisterShift);
        // The low three bits of a slot pick within a register, bits 3 and 4
        // (moved up to the sign) pick the register.
        const __m256 bit3 = _mm256_castsi256_ps(_mm256_slli_epi32(slots, 28));
        const __m256 bit4 = _mm256_castsi256_ps(_mm256_slli_epi32(slots, 27));
        const __m256 low = _mm256_blendv_ps(_mm256_castsi256_ps(_mm256_permutevar8x32_epi32(e0, slots)),
            _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(e1, slots)), bit3);
        const __m256 high = _mm256_blendv_ps(_mm256_castsi256_ps(_mm256_permutevar8x32_epi32(e2, slots)),
            _mm256_castsi256_ps(_mm256_permutevar8x32_epi32(e3, slots)), bit3);
        const __m256i found = _mm256_castps_si256(_mm256_blendv_ps(low, high, bit4));
        if (!storeWhereFound(found, colours, out + k))
            break;
    }
    return k;
}
#endif

// Colour to table position, built while the cells are read. A colour is
// looked for first in its home slot without probing, which is where nearly
// every colour of a pattern lives among this many slots.
class ColourIndex {
public:
    static constexpr std::size_t MaxColours = 256;

    ColourIndex()
    {
        // An empty slot must not match a colour that hashes to it: its key is
        // all ones, except in the home slot of all ones.
        m_keys.fill(~TColor(0));
        m_keys[home(~TColor(0))] = 0;
        m_index.fill(-1);
        m_atHome.fill(ColourBits);
        m_atHome[home(ColourBits)] = 0;
    }

    // The table positions of n cells into out; false once the table would
    // pass MaxColours.
    bool map(const TColor *cells, std::size_t n, std::uint8_t *out)
    {
        std::size_t k = 0;
#if defined(PURLWISE_GATHER)
        static const bool gather = __builtin_cpu_supports("avx2");
        while (gather && k + 8 <= n) {
            k += m_registers.multiplier != 0 ? mapInRegistersByEights(m_registers, cells + k, n - k, out + k)
                                             : mapAtHomeByEights(m_atHome.data(), cells + k, n - k, out + k);
            if (k + 8 > n)
                break;
            // A group with a new colour, or one away from its home slot.
            if (!mapOneByOne(cells + k, 8, out + k))
                return false;
            k += 8;
        }
#endif
        // Four cells at a time with one test, so that the lookups overlap.
        for (; k + 4 <= n; k += 4) {
            const std::size_t a = home(cells[k]), b = home(cells[k + 1]), c = home(cells[k + 2]),
                              d = home(cells[k + 3]);
            const std::uint32_t ea = m_atHome[a], eb = m_atHome[b], ec = m_atHome[c], ed = m_atHome[d];
            const TColor away = ((ea & ColourBits) ^ cells[k]) | ((eb & ColourBits) ^ cells[k + 1])
                | ((ec & ColourBits) ^ cells[k + 2]) | ((ed & ColourBits) ^ cells[k + 3]);
            const std::uint8_t four[4] = { std::uint8_t(ea >> 24), std::uint8_t(eb >> 24), std::uint8_t(ec >> 24),
                std::uint8_t(ed >> 24) };
            std::memcpy(out + k, four, 4);
            if (away != 0) [[unlikely]] {
                if (!mapOneByOne(cells + k, 4, out + k))
                    return false;
            }
        }
        return mapOneByOne(cells + k, n - k, out + k);
    }

    bool mapOneByOne(const TColor *cells, std::size_t n, std::uint8_t *out)
    {
        for (std::size_t k = 0; k < n; ++k) {
            const int index = find(cells[k]);
            if (index < 0)
                return false;
            out[k] = std::uint8_t(index);
        }
        return true;
    }

    // The colour's position, added at the end when new; -1 once the table is full.
    int find(TColor colour)
    {
        std::size_t slot = home(colour);
        while (m_index[slot] >= 0) {
            if (m_keys[slot] == colour)
                return m_index[slot];
            slot = (slot + 1) % Slots;
        }
        if (m_colours.size() == MaxColours)
            return -1;
        m_keys[slot] = colour;
        m_index[slot] = std::int16_t(m_colours.size());
        if (slot == home(colour) && colour <= ColourBits)
            m_atHome[slot] = colour | std::uint32_t(m_index[slot]) << 24;
        m_colours.push_back(pixelOf(colour));
#if defined(PURLWISE_GATHER)
        placeInRegisters(colour, std::uint32_t(m_index[slot]));
#endif
        return m_index[slot];
    }
    std::vector<Pixel> take() { return std::move(m_colours); }

private:
#if defined(PURLWISE_GATHER)
    // Up to this many colours a multiplier that gives each its own register
    // slot is found within a few thousand tries; past it lookups gather.
    static constexpr std::size_t RegisterColours = 20;

    void placeInRegisters(TColor colour, std::uint32_t position)
    {
        if (m_registersRetired)
            return;
        if (colour > ColourBits || m_inRegisters.size() == RegisterColours) {
            retireRegisters();
            return;
        }
        const bool slotFree = m_registers.multiplier != 0 && !isTaken(m_registers.slot(colour));
        m_inRegisters.push_back(colour | position << 24);
        if (slotFree) {
            m_registers.entries[m_registers.slot(colour)] = m_inRegisters.back();
            return;
        }
        // A fixed sequence of odd multipliers, so a picture never depends on chance.
        std::uint32_t candidate = HashFactor;
        for (int tries = 0; tries < 1 << 14; ++tries) {
            candidate = candidate * 1664525u + 1013904223u;
            RegisterTable table;
            table.multiplier = candidate | 1;
            if (fillRegisters(table)) {
                m_registers = table;
                return;
            }
        }
        retireRegisters();
    }

    bool isTaken(std::size_t slot) const
    {
        return std::any_of(m_inRegisters.begin(), m_inRegisters.end(),
            [&](std::uint32_t entry) { return m_registers.slot(entry & ColourBits) == slot; });
    }

    // Every colour so far in a slot of its own, or false. An empty slot must
    // match no colour that hashes to it: it holds all ones in the colour bits,
    // except in the slot of all ones, where it holds black, which hashes to
    // slot 0, elsewhere.
    bool fillRegisters(RegisterTable &table) const
    {
        if (table.slot(ColourBits) == table.slot(Black))
            return false;
        std::uint32_t taken = 0;
        for (const std::uint32_t entry : m_inRegisters) {
            const std::size_t slot = table.slot(entry & ColourBits);
            if (taken & (1u << slot))
                return false;
            taken |= 1u << slot;
            table.entries[slot] = entry;
        }
        for (std::size_t slot = 0; slot < RegisterSlots; ++slot)
            if (!(taken & (1u << slot)))
                table.entries[slot] = slot == table.slot(ColourBits) ? 0 : ColourBits;
        return true;
    }

    void retireRegisters()
    {
        m_registersRetired = true;
        m_registers.multiplier = 0;
    }

    RegisterTable m_registers;
    std::vector<std::uint32_t> m_inRegisters;
    bool m_registersRetired = false;
#endif

    static constexpr std::size_t Slots = 4096; // few colours ever share a home slot
    static std::size_t home(TColor colour) { return (colour * HashFactor) >> HashShift; }

    std::array<TColor, Slots> m_keys;
    std::array<std::int16_t, Slots> m_index;
    // Colour and position in one word for the colours in their home slots, so
    // a lookup is one load; the colour bits of an empty slot never match a
    // colour that hashes to it.
    std::array<std::uint32_t, Slots> m_atHome;
    std::vector<Pixel> m_colours;
};

} // namespace

void renderPreview(const Pattern &pattern, int cellSize, bool grid, PixelBuffer out)
{
    const std::size_t stitches = std::size_t(pattern.StitchCount);
    const bool allGrid = grid && cellSize == 1;
    renderRows<Pixel>(
        pattern, cellSize, grid, pixelOf(Black), out.pixels, out.stride, [&](std::size_t row, Pixel *colours) {
            if (allGrid)
                return true;
            const TColor *cells = pattern.Cells.data() + row * stitches;
            for (std::size_t k = 0; k < stitches; ++k)
                colours[k] = pixelOf(cells[k]);
            return true;
        });
}

std::optional<std::vector<Pixel>> previewColourTable(const Pattern &pattern)
{
    ColourIndex index;
    index.find(Black);
    const std::size_t stitches = std::size_t(std::max(pattern.StitchCount, 0));
    std::vector<std::uint8_t> positions(stitches);
    for (std::size_t at = 0; at + stitches <= pattern.Cells.size() && stitches > 0; at += stitches)
        if (!index.map(pattern.Cells.data() + at, stitches, positions.data()))
            return std::nullopt;
    return index.take();
}

std::optional<std::vector<Pixel>> renderIndexedPreview(const Pattern &pattern, int cellSize, bool grid, IndexBuffer out)
{
    ColourIndex index;
    const std::uint8_t black = std::uint8_t(index.find(Black));
    const std::size_t stitches = std::size_t(pattern.StitchCount);
    // Every row is read even where grid lines hide it: the table holds all the pattern's colours.
    const bool drawn = renderRows<std::uint8_t>(
        pattern, cellSize, grid, black, out.pixels, out.stride, [&](std::size_t row, std::uint8_t *colours) {
            return index.map(pattern.Cells.data() + row * stitches, stitches, colours);
        });
    if (!drawn)
        return std::nullopt;
    return index.take();
}

std::optional<PageRect> printPlacement(
    std::int64_t imageWidth, std::int64_t imageHeight, std::int64_t pageWidth, std::int64_t pageHeight)
{
    if (imageWidth < 1 || imageHeight < 1 || pageWidth < 1 || pageHeight < 1)
        return std::nullopt;
    std::int64_t width, height;
    // Doubling asks for strictly more than twice the height but only at least twice the width.
    if (pageHeight > 2 * imageHeight && pageWidth >= 2 * imageWidth) {
        width = 2 * imageWidth;
        height = 2 * imageHeight;
    } else {
        const std::int64_t divisor = std::max(imageWidth / pageWidth + 1, imageHeight / pageHeight + 1);
        width = imageWidth / divisor;
        height = imageHeight / divisor;
    }
    const std::int64_t left = (pageWidth - width) / 2;
    const std::int64_t top = (pageHeight - height) / 2;
    return PageRect { left, top, left + width, top + height };
}

} // namespace model
