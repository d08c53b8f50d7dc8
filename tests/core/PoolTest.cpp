// SPDX-License-Identifier: GPL-3.0-or-later
// The block pool behind tree nodes and items: blocks of every size stay apart and are reused.
#include "base/Pool.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace quillo;

TEST(Pool, BlocksNeverOverlapAcrossSizesFreesAndReuse) {
    struct TBlock {
        unsigned char* Data;
        size_t Size;
        unsigned char Fill;
    };
    std::mt19937 rng(7);
    std::vector<TBlock> live;
    auto intact = [](const TBlock& b) {
        for (size_t i = 0; i < b.Size; ++i)
            if (b.Data[i] != b.Fill) return false;
        return true;
    };
    for (int round = 0; round < 20000; ++round) {
        if (!live.empty() && rng() % 3 == 0) {
            const size_t at = rng() % live.size();
            ASSERT_TRUE(intact(live[at])) << "block of " << live[at].Size << " bytes was overwritten";
            PoolFree(live[at].Data, live[at].Size);
            live[at] = live.back();
            live.pop_back();
            continue;
        }
        const size_t size = 1 + rng() % 700; // past the largest pooled size too
        auto* data = static_cast<unsigned char*>(PoolAllocate(size));
        ASSERT_EQ(reinterpret_cast<uintptr_t>(data) % alignof(std::max_align_t), 0u);
        const auto fill = static_cast<unsigned char>(rng());
        std::memset(data, fill, size);
        live.push_back({data, size, fill});
    }
    for (const TBlock& b : live) {
        EXPECT_TRUE(intact(b));
        PoolFree(b.Data, b.Size);
    }
}

// A freed block goes back to its own size: the next block of that size is the same one. (Sanitizer
// builds use the ordinary heap, which holds freed memory back on purpose.)
TEST(Pool, AFreedBlockIsTheNextOneOfItsSize) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the pool is bypassed";
#endif
    for (size_t size = 1; size <= 512; ++size) {
        void* block = PoolAllocate(size);
        PoolFree(block, size);
        void* again = PoolAllocate(size);
        EXPECT_EQ(again, block) << size << " bytes";
        PoolFree(again, size);
    }
}
