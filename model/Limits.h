#pragma once
// The one place that bounds the size of a pattern. Every operation that makes
// or loads a pattern asks fitsLimits before it allocates.

#include <cstdint>

namespace model {

inline constexpr std::int64_t MaxCells = std::int64_t(1) << 26; // 67,108,864
inline constexpr std::int64_t MaxCount = std::int64_t(1) << 20; // 1,048,576 stitches or rows

constexpr bool fitsLimits(std::int64_t stitchCount, std::int64_t rowCount)
{
    return stitchCount >= 1 && rowCount >= 1 && stitchCount <= MaxCount && rowCount <= MaxCount
        && stitchCount * rowCount <= MaxCells;
}

} // namespace model
