// The machine's global memory, beyond what Win32 offers: a fresh heap for
// each machine, and what tests look at to see that blocks are released.
#ifndef QUORIX_PLATFORM_KERNEL_GLOBAL_MEMORY_H
#define QUORIX_PLATFORM_KERNEL_GLOBAL_MEMORY_H

#include <cstddef>

#include "win32.h"

namespace platform {

// Frees every block: a machine starts with an empty heap.
void reset_global_memory();
// The number of blocks allocated and not yet freed.
size_t global_blocks_in_use();
// True while the handle names a block that has not been freed.
bool global_block_exists(HGLOBAL memory);

}  // namespace platform

#endif
