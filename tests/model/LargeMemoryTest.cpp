#include "model/LargeMemory.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

TEST(LargeMemory, BlocksOfEverySizeAreWholeAndLargeOnesOnHugePageBounds)
{
    const std::size_t mb = std::size_t(1) << 20;
    for (const std::size_t bytes : { std::size_t(0), std::size_t(1), model::LargeBlock - 1, model::LargeBlock,
             model::LargeBlock + 1, 100 * mb + 3 }) {
        auto *block = static_cast<unsigned char *>(model::allocateLarge(bytes));
        ASSERT_NE(block, nullptr) << bytes;
        if (bytes >= model::LargeBlock) {
            EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % model::HugePage, 0u) << bytes;
        }
        if (bytes > 0) {
            // Every byte is ours: the first and last pages are mapped and writable.
            std::memset(block, 0xA5, std::min(bytes, 4096 * std::size_t(2)));
            block[bytes - 1] = 0x5A;
            EXPECT_EQ(block[bytes - 1], 0x5A);
        }
        model::releaseLarge(block, bytes);
    }
}
