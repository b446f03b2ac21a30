#include "model/LargeMemory.h"

#include <cstdint>
#include <cstdlib>
#include <sys/mman.h>

namespace model {

namespace {

std::size_t roundUp(std::size_t bytes)
{
    return (bytes + HugePage - 1) & ~(HugePage - 1);
}

} // namespace

void *allocateLarge(std::size_t bytes) noexcept
{
    if (bytes < LargeBlock)
        return std::malloc(bytes ? bytes : 1);
    const std::size_t size = roundUp(bytes);
    if (size < bytes)
        return nullptr;
    // Huge pages need 2 MB alignment: map one page more and trim both ends.
    void *mapped = ::mmap(nullptr, size + HugePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED)
        return nullptr;
    const auto start = reinterpret_cast<std::uintptr_t>(mapped);
    const std::uintptr_t aligned = (start + HugePage - 1) & ~std::uintptr_t(HugePage - 1);
    if (aligned > start)
        ::munmap(mapped, aligned - start);
    if (const std::size_t tail = start + size + HugePage - (aligned + size))
        ::munmap(reinterpret_cast<void *>(aligned + size), tail);
    // Only advice: without huge pages the memory works the same.
    ::madvise(reinterpret_cast<void *>(aligned), size, MADV_HUGEPAGE);
    return reinterpret_cast<void *>(aligned);
}

void releaseLarge(void *block, std::size_t bytes) noexcept
{
    if (!block)
        return;
    if (bytes < LargeBlock)
        std::free(block);
    else
        ::munmap(block, roundUp(bytes));
}

} // namespace model
