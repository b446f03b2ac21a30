#include "model/Transformations.h"

#include "model/Limits.h"
#include "model/QuarterTurn.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace model {

Counts ResultCounts(Transform t, std::int32_t stitchCount, std::int32_t rowCount)
{
    const std::int64_t w = stitchCount;
    const std::int64_t h = rowCount;
    switch (t) {
    case Transform::CopyHorizontal:
    case Transform::DoubleColumns:
    case Transform::MirrorHorizontal:
        return { 2 * w, h };
    case Transform::CopyVertical:
    case Transform::DoubleRows:
    case Transform::MirrorVertical:
    case Transform::InsertEmptyRows:
        return { w, 2 * h };
    case Transform::RotateLeft:
    case Transform::RotateRight:
        return { h, w };
    case Transform::ReverseHorizontal:
    case Transform::ReverseVertical:
    case Transform::Negative:
        return { w, h };
    case Transform::KeepLeftHalf:
    case Transform::KeepEvenColumns:
        return { w / 2, h };
    case Transform::KeepTopHalf:
    case Transform::KeepEvenRows:
    case Transform::RemoveInsertedRows:
        return { w, h / 2 };
    }
    throw std::invalid_argument("unknown transform");
}

namespace {

// Checks the old pattern and allocates the result with uninitialised cells:
// every operation below writes each of them exactly once.
Pattern resultFor(Transform t, const Pattern &old)
{
    if (old.StitchCount < 1 || old.RowCount < 1
        || old.Cells.size() != std::size_t(old.StitchCount) * std::size_t(old.RowCount))
        throw std::invalid_argument("transform of a pattern whose cells do not match its counts");
    const Counts counts = ResultCounts(t, old.StitchCount, old.RowCount);
    if (!fitsLimits(counts.StitchCount, counts.RowCount))
        throw std::length_error("transform result out of range");
    Pattern result;
    result.StitchCount = std::int32_t(counts.StitchCount);
    result.RowCount = std::int32_t(counts.RowCount);
    result.Cells.resize(std::size_t(counts.StitchCount) * std::size_t(counts.RowCount));
    return result;
}

void copyCells(TColor *dst, const TColor *src, std::size_t n)
{
    std::memcpy(dst, src, n * sizeof(TColor));
}

// Writes each old row twice in succession. Read as rows 2W wide, that is the
// pattern copied beside itself; read as rows W wide, every row doubled. The
// two transformations differ only in the counts, so their cells coincide.
Pattern eachRowTwice(Transform t, const Pattern &old)
{
    Pattern p = resultFor(t, old);
    const std::size_t w = std::size_t(old.StitchCount);
    for (std::size_t r = 0; r < std::size_t(old.RowCount); ++r) {
        const TColor *src = old.Cells.data() + r * w;
        TColor *dst = p.Cells.data() + 2 * r * w;
        copyCells(dst, src, w);
        copyCells(dst + w, src, w);
    }
    return p;
}

} // namespace

Pattern CopyHorizontal(const Pattern &old)
{
    return eachRowTwice(Transform::CopyHorizontal, old);
}

Pattern CopyVertical(const Pattern &old)
{
    Pattern p = resultFor(Transform::CopyVertical, old);
    const std::size_t n = old.Cells.size();
    copyCells(p.Cells.data(), old.Cells.data(), n);
    copyCells(p.Cells.data() + n, old.Cells.data(), n);
    return p;
}

// new(r, W - 1 - s) = old(s, r)
Pattern RotateLeft(const Pattern &old)
{
    Pattern p = resultFor(Transform::RotateLeft, old);
    quarterTurn(old.Cells.data(), std::size_t(old.StitchCount), std::size_t(old.RowCount), Turn::Left, p.Cells.data());
    return p;
}

// new(H - 1 - r, s) = old(s, r)
Pattern RotateRight(const Pattern &old)
{
    Pattern p = resultFor(Transform::RotateRight, old);
    quarterTurn(old.Cells.data(), std::size_t(old.StitchCount), std::size_t(old.RowCount), Turn::Right, p.Cells.data());
    return p;
}

Pattern ReverseHorizontal(const Pattern &old)
{
    Pattern p = resultFor(Transform::ReverseHorizontal, old);
    const std::size_t w = std::size_t(old.StitchCount);
    for (std::size_t r = 0; r < std::size_t(old.RowCount); ++r) {
        const TColor *src = old.Cells.data() + r * w;
        std::reverse_copy(src, src + w, p.Cells.data() + r * w);
    }
    return p;
}

Pattern ReverseVertical(const Pattern &old)
{
    Pattern p = resultFor(Transform::ReverseVertical, old);
    const std::size_t w = std::size_t(old.StitchCount);
    const std::size_t h = std::size_t(old.RowCount);
    for (std::size_t r = 0; r < h; ++r)
        copyCells(p.Cells.data() + (h - 1 - r) * w, old.Cells.data() + r * w, w);
    return p;
}

Pattern DoubleRows(const Pattern &old)
{
    return eachRowTwice(Transform::DoubleRows, old);
}

// Row r of the result starts at cell 2·W·r, so the doubling runs over the
// whole array at once.
Pattern DoubleColumns(const Pattern &old)
{
    Pattern p = resultFor(Transform::DoubleColumns, old);
    const TColor *src = old.Cells.data();
    TColor *dst = p.Cells.data();
    for (std::size_t i = 0, n = old.Cells.size(); i < n; ++i) {
        dst[2 * i] = src[i];
        dst[2 * i + 1] = src[i];
    }
    return p;
}

// Unsigned subtraction wraps, so values with a top byte also come back on a second pass.
Pattern Negative(const Pattern &old)
{
    Pattern p = resultFor(Transform::Negative, old);
    std::transform(old.Cells.begin(), old.Cells.end(), p.Cells.begin(), [](TColor c) { return TColor(White - c); });
    return p;
}

Pattern MirrorHorizontal(const Pattern &old)
{
    Pattern p = resultFor(Transform::MirrorHorizontal, old);
    const std::size_t w = std::size_t(old.StitchCount);
    for (std::size_t r = 0; r < std::size_t(old.RowCount); ++r) {
        const TColor *src = old.Cells.data() + r * w;
        TColor *dst = p.Cells.data() + 2 * r * w;
        copyCells(dst, src, w);
        std::reverse_copy(src, src + w, dst + w);
    }
    return p;
}

Pattern MirrorVertical(const Pattern &old)
{
    Pattern p = resultFor(Transform::MirrorVertical, old);
    const std::size_t w = std::size_t(old.StitchCount);
    const std::size_t h = std::size_t(old.RowCount);
    copyCells(p.Cells.data(), old.Cells.data(), old.Cells.size());
    for (std::size_t r = 0; r < h; ++r)
        copyCells(p.Cells.data() + (2 * h - 1 - r) * w, old.Cells.data() + r * w, w);
    return p;
}

// Old rows 2k and 2k + 1 become new rows 4k and 4k + 1, followed by two white
// rows. For an odd height the last old row has no partner; its slot stays white.
Pattern InsertEmptyRows(const Pattern &old)
{
    Pattern p = resultFor(Transform::InsertEmptyRows, old);
    const std::size_t w = std::size_t(old.StitchCount);
    const std::size_t h = std::size_t(old.RowCount);
    TColor *dst = p.Cells.data();
    for (std::size_t j = 0; j < 2 * h; ++j) {
        const std::size_t source = 2 * (j / 4) + j % 4;
        if (j % 4 < 2 && source < h)
            copyCells(dst + j * w, old.Cells.data() + source * w, w);
        else
            std::fill_n(dst + j * w, w, White);
    }
    return p;
}

// Result row r reads from index 2·W′·r, which for an odd width is a stride of
// W − 1: each row starts r cells before old row r.
Pattern KeepLeftHalf(const Pattern &old)
{
    Pattern p = resultFor(Transform::KeepLeftHalf, old);
    const std::size_t half = std::size_t(p.StitchCount);
    for (std::size_t r = 0; r < std::size_t(p.RowCount); ++r)
        copyCells(p.Cells.data() + r * half, old.Cells.data() + 2 * half * r, half);
    return p;
}

Pattern KeepTopHalf(const Pattern &old)
{
    Pattern p = resultFor(Transform::KeepTopHalf, old);
    copyCells(p.Cells.data(), old.Cells.data(), p.Cells.size());
    return p;
}

Pattern KeepEvenRows(const Pattern &old)
{
    Pattern p = resultFor(Transform::KeepEvenRows, old);
    const std::size_t w = std::size_t(old.StitchCount);
    for (std::size_t r = 0; r < std::size_t(p.RowCount); ++r)
        copyCells(p.Cells.data() + r * w, old.Cells.data() + 2 * r * w, w);
    return p;
}

// Every second cell of the whole array, so for an odd width the selection runs
// on across row ends.
Pattern KeepEvenColumns(const Pattern &old)
{
    Pattern p = resultFor(Transform::KeepEvenColumns, old);
    const TColor *src = old.Cells.data();
    TColor *dst = p.Cells.data();
    for (std::size_t i = 0, n = p.Cells.size(); i < n; ++i)
        dst[i] = src[2 * i];
    return p;
}

// New rows 2k and 2k + 1 are old rows 4k and 4k + 1; stops after ⌊H/2⌋ rows,
// so an odd result height takes one row from the last group.
Pattern RemoveInsertedRows(const Pattern &old)
{
    Pattern p = resultFor(Transform::RemoveInsertedRows, old);
    const std::size_t w = std::size_t(old.StitchCount);
    for (std::size_t j = 0; j < std::size_t(p.RowCount); ++j)
        copyCells(p.Cells.data() + j * w, old.Cells.data() + (2 * j - j % 2) * w, w);
    return p;
}

Pattern Apply(Transform t, const Pattern &old)
{
    switch (t) {
    case Transform::CopyHorizontal:
        return CopyHorizontal(old);
    case Transform::CopyVertical:
        return CopyVertical(old);
    case Transform::RotateLeft:
        return RotateLeft(old);
    case Transform::ReverseHorizontal:
        return ReverseHorizontal(old);
    case Transform::ReverseVertical:
        return ReverseVertical(old);
    case Transform::RotateRight:
        return RotateRight(old);
    case Transform::DoubleRows:
        return DoubleRows(old);
    case Transform::DoubleColumns:
        return DoubleColumns(old);
    case Transform::Negative:
        return Negative(old);
    case Transform::MirrorHorizontal:
        return MirrorHorizontal(old);
    case Transform::MirrorVertical:
        return MirrorVertical(old);
    case Transform::InsertEmptyRows:
        return InsertEmptyRows(old);
    case Transform::KeepLeftHalf:
        return KeepLeftHalf(old);
    case Transform::KeepTopHalf:
        return KeepTopHalf(old);
    case Transform::KeepEvenRows:
        return KeepEvenRows(old);
    case Transform::KeepEvenColumns:
        return KeepEvenColumns(old);
    case Transform::RemoveInsertedRows:
        return RemoveInsertedRows(old);
    }
    throw std::invalid_argument("unknown transform");
}

Outcome<> TransformPattern(Transform t, Pattern &pattern)
{
    if (!pattern.exists())
        return Failure::of(Failure::Kind::NoPattern);
    const Counts counts = ResultCounts(t, pattern.StitchCount, pattern.RowCount);
    if (counts.StitchCount == 0 || counts.RowCount == 0) {
        Failure empty = Failure::tooLarge(counts.StitchCount, counts.RowCount);
        empty.kind = Failure::Kind::EmptyResult;
        return empty;
    }
    if (!fitsLimits(counts.StitchCount, counts.RowCount))
        return Failure::tooLarge(counts.StitchCount, counts.RowCount);
    // Negative keeps the counts, so it needs no second array and cannot fail.
    if (t == Transform::Negative) {
        for (TColor &c : pattern.Cells)
            c = White - c;
        return {};
    }
    try {
        pattern = Apply(t, pattern);
    } catch (const std::bad_alloc &) {
        return Failure::of(Failure::Kind::OutOfMemory);
    }
    return {};
}

} // namespace model
