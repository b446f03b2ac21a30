#pragma once
// The document: a grid of colour cells, one per stitch and knitting row, and
// the 16-slot yarn palette. Plain data; no user interface.

#include "model/LargeMemory.h"
#include "model/Outcome.h"

#include <array>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace model {

// 0x00BBGGRR, red in the low byte.
using TColor = std::uint32_t;
inline constexpr TColor White = 0x00FFFFFF;
inline constexpr TColor Black = 0x00000000;

// Leaves new elements uninitialised, so an operation that writes every cell
// of a fresh array does not pay for a zero-fill pass first; large arrays go
// on huge pages (LargeMemory.h).
template <typename T> struct DefaultInitAllocator : std::allocator<T> {
    template <typename U> struct rebind {
        using other = DefaultInitAllocator<U>;
    };
    using std::allocator<T>::allocator;
    T *allocate(std::size_t n)
    {
        if (n < LargeBlock / sizeof(T))
            return std::allocator<T>::allocate(n);
        if (n > std::size_t(-1) / sizeof(T))
            throw std::bad_array_new_length();
        if (void *block = allocateLarge(n * sizeof(T)))
            return static_cast<T *>(block);
        throw std::bad_alloc();
    }
    void deallocate(T *p, std::size_t n) noexcept
    {
        if (n < LargeBlock / sizeof(T))
            std::allocator<T>::deallocate(p, n);
        else
            releaseLarge(p, n * sizeof(T));
    }
    template <typename U> void construct(U *p) noexcept { ::new (static_cast<void *>(p)) U; }
    template <typename U, typename... Args> void construct(U *p, Args &&...args)
    {
        ::new (static_cast<void *>(p)) U(std::forward<Args>(args)...);
    }
};

// One colour per cell, row after row. resize(n) leaves cells uninitialised;
// resize(n, White) or assign(n, White) fills them.
using CellArray = std::vector<TColor, DefaultInitAllocator<TColor>>;

inline constexpr int PaletteSize = 16;
// Slot 1 first; every slot starts white.
using Palette = std::array<TColor, PaletteSize>;
Palette WhitePalette();

// Cell (s, r) is Cells[s + r * StitchCount]; grid row 0 is the top row on
// screen. A pattern exists exactly while Cells holds storage.
struct Pattern {
    std::int32_t StitchCount = 0;
    std::int32_t RowCount = 0;
    CellArray Cells;

    bool exists() const { return !Cells.empty(); }
    std::size_t cellCount() const { return Cells.size(); }
    TColor &at(std::int32_t s, std::int32_t r)
    {
        return Cells[std::size_t(s) + std::size_t(r) * std::size_t(StitchCount)];
    }
    TColor at(std::int32_t s, std::int32_t r) const
    {
        return Cells[std::size_t(s) + std::size_t(r) * std::size_t(StitchCount)];
    }
    bool operator==(const Pattern &) const = default;
};

// Allocates stitchCount x rowCount white cells. Fails with TooLarge when the
// counts are outside the program's limits (Limits.h) and OutOfMemory when
// memory cannot be had, leaving the pattern untouched.
Outcome<> CreateBlank(Pattern &pattern, std::int32_t stitchCount, std::int32_t rowCount);

// Releases the cells; the counts keep their last values but mean nothing.
void Discard(Pattern &pattern);

// User-facing numbers: stitches count from 1 at the left, rows from 1 at the bottom.
inline std::int32_t StitchNumber(std::int32_t s)
{
    return s + 1;
}
inline std::int32_t RowNumber(const Pattern &p, std::int32_t r)
{
    return p.RowCount - r;
}

} // namespace model
