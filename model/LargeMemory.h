#pragma once
// Memory for big cell arrays and pictures. Blocks of 2 MB and more are mapped
// on their own and asked for on huge pages, which makes the first write to a
// fresh picture or cell array several times cheaper; smaller ones come from
// the ordinary heap.

#include <cstddef>

namespace model {

inline constexpr std::size_t LargeBlock = std::size_t(2) << 20;

// Nothing when the memory cannot be had. Release with the same size.
void *allocateLarge(std::size_t bytes) noexcept;
void releaseLarge(void *block, std::size_t bytes) noexcept;

} // namespace model
