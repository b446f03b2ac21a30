#pragma once
// The whole-pattern operations of the transformations tool window and the
// undo-only inverses. Each named function is pure: it reads the old pattern
// and returns a new one, leaving the old untouched.

#include "model/Outcome.h"
#include "model/Pattern.h"

#include <cstdint>

namespace model {

// The first twelve are in button order; the last five exist only for undo.
enum class Transform {
    CopyHorizontal,
    CopyVertical,
    RotateLeft,
    ReverseHorizontal,
    ReverseVertical,
    RotateRight,
    DoubleRows,
    DoubleColumns,
    Negative,
    MirrorHorizontal,
    MirrorVertical,
    InsertEmptyRows,
    KeepLeftHalf,
    KeepTopHalf,
    KeepEvenRows,
    KeepEvenColumns,
    RemoveInsertedRows
};
inline constexpr int TransformCount = 17;

struct Counts {
    std::int64_t StitchCount;
    std::int64_t RowCount;
    bool operator==(const Counts &) const = default;
};

// Counts of the result; 64-bit so that doubling the largest counts cannot overflow.
Counts ResultCounts(Transform t, std::int32_t stitchCount, std::int32_t rowCount);

// The building blocks of TransformPattern, which checks their preconditions:
// each throws std::invalid_argument when the old cells do not match its counts
// and std::length_error when the result would not fit the limits (or be empty).
Pattern CopyHorizontal(const Pattern &old);
Pattern CopyVertical(const Pattern &old);
Pattern RotateLeft(const Pattern &old);
Pattern ReverseHorizontal(const Pattern &old);
Pattern ReverseVertical(const Pattern &old);
Pattern RotateRight(const Pattern &old);
Pattern DoubleRows(const Pattern &old);
Pattern DoubleColumns(const Pattern &old);
Pattern Negative(const Pattern &old);
Pattern MirrorHorizontal(const Pattern &old);
Pattern MirrorVertical(const Pattern &old);
Pattern InsertEmptyRows(const Pattern &old);
Pattern KeepLeftHalf(const Pattern &old);
Pattern KeepTopHalf(const Pattern &old);
Pattern KeepEvenRows(const Pattern &old);
Pattern KeepEvenColumns(const Pattern &old);
Pattern RemoveInsertedRows(const Pattern &old);

// Precondition: old exists, and the result fits the limits and is non-empty.
Pattern Apply(Transform t, const Pattern &old);

// Replaces `pattern` with the result, or fails and leaves its counts and cells
// exactly as they were: NoPattern when it has no cells, TooLarge with the
// result's counts when they fail fitsLimits, EmptyResult when a halving would
// give a count of 0, OutOfMemory when the result finds no memory.
Outcome<> TransformPattern(Transform t, Pattern &pattern);

} // namespace model
