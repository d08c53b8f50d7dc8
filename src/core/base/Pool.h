// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Storage for the objects a schedule holds one of per row (tree nodes, items): fixed-size blocks
// carved from large chunks that the kernel may back with huge pages. Reading 100 000 rows then
// costs neither a malloc call nor a page fault per row. Freed blocks are reused for the same
// size; the chunks live as long as the process. Single-threaded, like the tree itself.
// Sanitizer builds use the ordinary heap, so that every object stays checked.
#include <cstddef>

namespace quillo {

void* PoolAllocate(std::size_t size);
void PoolFree(void* block, std::size_t size) noexcept;

// Inside a class: its objects (and those of its subclasses) live in the pool.
#define QUILLO_POOLED_STORAGE                                                                                          \
    static void* operator new(std::size_t size) {                                                                      \
        return ::quillo::PoolAllocate(size);                                                                           \
    }                                                                                                                  \
    static void operator delete(void* block, std::size_t size) noexcept {                                              \
        ::quillo::PoolFree(block, size);                                                                               \
    }

} // namespace quillo
