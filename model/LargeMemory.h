#pragma once
// Memory for big cell arrays and pictures. Blocks of 32 MB and more are
// mapped on their own and asked for on huge pages, which makes the first
// write to them several times cheaper. Smaller ones come from the heap, which
// hands a freed block out again without fresh page faults.

#include <cstddef>

namespace model {

inline constexpr std::size_t HugePage = std::size_t(2) << 20;
inline constexpr std::size_t LargeBlock = std::size_t(32) << 20;

// Nothing when the memory cannot be had. Release with the same size.
void *allocateLarge(std::size_t bytes) noexcept;
void releaseLarge(void *block, std::size_t bytes) noexcept;

} // namespace model
