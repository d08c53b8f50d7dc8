// SPDX-License-Identifier: GPL-3.0-or-later
#include "base/Pool.h"

#include <cstdint>
#include <new>
#include <sys/mman.h>

#if defined(__SANITIZE_ADDRESS__)
#define QUILLO_POOL_BYPASS 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define QUILLO_POOL_BYPASS 1
#endif
#endif

namespace quillo {

#ifndef QUILLO_POOL_BYPASS
namespace {
constexpr std::size_t kAlign = 16;
constexpr std::size_t kLargest = 512;                // larger objects use the heap
constexpr std::size_t kChunk = std::size_t(2) << 20; // one huge page

struct TFreeBlock {
    TFreeBlock* Next;
};

struct TSizePool {
    TFreeBlock* Free = nullptr;
    char* Next = nullptr;
    char* End = nullptr;
    std::size_t ChunkSize = 64 << 10;
};

TSizePool gPools[kLargest / kAlign + 1];

// Chunks grow from 64 kB to one huge page, so that a small schedule stays small; the large ones
// are 2 MB-aligned so that the kernel can back each with a single huge page.
char* NewChunk(std::size_t size) {
    const std::size_t span = size == kChunk ? kChunk * 2 : size;
    void* raw = mmap(nullptr, span, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    char* start = static_cast<char*>(raw);
    if (size != kChunk) return start;
    char* aligned = reinterpret_cast<char*>((reinterpret_cast<std::uintptr_t>(start) + kChunk - 1) & ~(kChunk - 1));
    if (aligned > start) munmap(start, static_cast<std::size_t>(aligned - start));
    char* end = start + span;
    if (end > aligned + kChunk) munmap(aligned + kChunk, static_cast<std::size_t>(end - (aligned + kChunk)));
    madvise(aligned, kChunk, MADV_HUGEPAGE);
    return aligned;
}
} // namespace
#endif

void* PoolAllocate(std::size_t size) {
#ifdef QUILLO_POOL_BYPASS
    return ::operator new(size);
#else
    const std::size_t rounded = (size + kAlign - 1) & ~(kAlign - 1);
    if (rounded == 0 || rounded > kLargest) return ::operator new(size);
    TSizePool& pool = gPools[rounded / kAlign];
    if (TFreeBlock* block = pool.Free) {
        pool.Free = block->Next;
        return block;
    }
    if (pool.Next == nullptr || pool.Next + rounded > pool.End) {
        pool.Next = NewChunk(pool.ChunkSize);
        pool.End = pool.Next + pool.ChunkSize;
        if (pool.ChunkSize < kChunk) pool.ChunkSize *= 2;
    }
    void* block = pool.Next;
    pool.Next += rounded;
    return block;
#endif
}

void PoolFree(void* block, std::size_t size) noexcept {
    if (!block) return;
#ifdef QUILLO_POOL_BYPASS
    ::operator delete(block);
    (void)size;
#else
    const std::size_t rounded = (size + kAlign - 1) & ~(kAlign - 1);
    if (rounded == 0 || rounded > kLargest) {
        ::operator delete(block);
        return;
    }
    TSizePool& pool = gPools[rounded / kAlign];
    auto* free = static_cast<TFreeBlock*>(block);
    free->Next = pool.Free;
    pool.Free = free;
#endif
}

} // namespace quillo
