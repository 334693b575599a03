// Global memory: GlobalAlloc, GlobalLock, GlobalUnlock, GlobalFree and
// GlobalSize, and the packing of two-valued DDE parameters into a block.
//
// Every block is reached through a handle from the machine's table, fixed
// blocks included, and the handle is never the block's address. A program
// that hands a DDE server the locked address where the handle belongs is
// therefore refused here, as it would be for a moveable block on Windows.
#include "kernel/global_memory.h"

#include <cstring>
#include <map>
#include <memory>

#include "faults.h"

namespace platform {

namespace {

// GlobalAlloc's flags that this machine knows; any other bit is refused.
constexpr UINT KNOWN_FLAGS = GMEM_MOVEABLE | 0x0010 /*GMEM_NOCOMPACT*/ | 0x0020 /*GMEM_NODISCARD*/ |
                             GMEM_ZEROINIT | 0x0100 /*GMEM_DISCARDABLE*/ | 0x1000 /*GMEM_NOT_BANKED*/ |
                             GMEM_DDESHARE | 0x4000 /*GMEM_NOTIFY*/;
// A request beyond this is refused as Windows refuses what it cannot commit,
// rather than taking the host down with it.
constexpr size_t LARGEST_BLOCK = size_t(1) << 30;
// Windows counts at most this many locks of a moveable block.
constexpr unsigned MAX_LOCKS = 255;
// Memory that was not asked to be zeroed holds this, so that a reader that
// relies on zeroes meets something else.
constexpr unsigned char FRESH_BYTE = 0xCD;

struct Block {
    std::unique_ptr<unsigned char[]> bytes;
    size_t size = 0;
    UINT flags = 0;
    unsigned locks = 0;
};

struct Heap {
    std::map<uintptr_t, Block> blocks;   // by handle value
    // Handles are small numbers that never look like an address, handed out
    // in turn and never reused within a run.
    uintptr_t next_handle = 0x1004;
};

Heap& heap()
{
    static Heap h;
    return h;
}

Block* find_block(HGLOBAL memory)
{
    auto it = heap().blocks.find((uintptr_t)memory);
    return it == heap().blocks.end() ? nullptr : &it->second;
}

// The DDE messages whose posted lParam carries two values in a block.
bool is_packed(UINT message)
{
    return message == WM_DDE_ACK || message == WM_DDE_ADVISE || message == WM_DDE_DATA ||
           message == WM_DDE_POKE;
}

}  // namespace

void reset_global_memory()
{
    heap() = Heap{};
}

size_t global_blocks_in_use()
{
    return heap().blocks.size();
}

bool global_block_exists(HGLOBAL memory)
{
    return find_block(memory) != nullptr;
}

}  // namespace platform

using namespace platform;

HGLOBAL GlobalAlloc(UINT flags, size_t bytes)
{
    if (flags & ~KNOWN_FLAGS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return NULL;
    }
    if (faults().global_alloc.fire() || bytes > LARGEST_BLOCK) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    Block block;
    // A block of no bytes still has an address of its own.
    block.bytes = std::make_unique<unsigned char[]>(bytes ? bytes : 1);
    std::memset(block.bytes.get(), (flags & GMEM_ZEROINIT) ? 0 : FRESH_BYTE, bytes ? bytes : 1);
    block.size = bytes;
    block.flags = flags;
    Heap& h = heap();
    uintptr_t handle = h.next_handle;
    h.next_handle += 8;
    h.blocks.emplace(handle, std::move(block));
    return (HGLOBAL)handle;
}

LPVOID GlobalLock(HGLOBAL memory)
{
    Block* block = find_block(memory);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return NULL;
    }
    // Only a moveable block counts its locks; a fixed one is always in place.
    if ((block->flags & GMEM_MOVEABLE) && block->locks < MAX_LOCKS) ++block->locks;
    return block->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL memory)
{
    Block* block = find_block(memory);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    // As on Windows: TRUE while the block stays locked; FALSE with no error
    // when this was its last lock (and always for a fixed block); FALSE with
    // ERROR_NOT_LOCKED for a moveable block that was not locked.
    if (!(block->flags & GMEM_MOVEABLE)) {
        SetLastError(ERROR_SUCCESS);
        return FALSE;
    }
    if (block->locks == 0) {
        SetLastError(ERROR_NOT_LOCKED);
        return FALSE;
    }
    if (--block->locks > 0) return TRUE;
    SetLastError(ERROR_SUCCESS);
    return FALSE;
}

HGLOBAL GlobalFree(HGLOBAL memory)
{
    if (!find_block(memory)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return memory;
    }
    heap().blocks.erase((uintptr_t)memory);
    return NULL;
}

size_t GlobalSize(HGLOBAL memory)
{
    Block* block = find_block(memory);
    if (!block) {
        SetLastError(ERROR_INVALID_HANDLE);
        return 0;
    }
    return block->size;
}

LPARAM PackDDElParam(UINT message, UINT_PTR low, UINT_PTR high)
{
    if (message == WM_DDE_EXECUTE) return (LPARAM)high;
    if (!is_packed(message)) return (LPARAM)MAKELONG(low, high);
    HGLOBAL pair = GlobalAlloc(GMEM_DDESHARE, 2 * sizeof(UINT_PTR));
    if (!pair) return 0;
    UINT_PTR* values = (UINT_PTR*)GlobalLock(pair);
    values[0] = low;
    values[1] = high;
    GlobalUnlock(pair);
    return (LPARAM)pair;
}

BOOL UnpackDDElParam(UINT message, LPARAM lparam, UINT_PTR* low, UINT_PTR* high)
{
    if (message == WM_DDE_EXECUTE) {
        if (low) *low = 0;
        if (high) *high = (UINT_PTR)lparam;
        return TRUE;
    }
    // A WM_DDE_ACK that answers an initiate is sent with its two atoms side
    // by side rather than packed: what is not a pair block is read that way.
    Block* block = is_packed(message) ? find_block((HGLOBAL)lparam) : nullptr;
    if (!block || block->size != 2 * sizeof(UINT_PTR)) {
        if (is_packed(message) && message != WM_DDE_ACK) {
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
        if (low) *low = LOWORD(lparam);
        if (high) *high = HIWORD(lparam);
        return TRUE;
    }
    UINT_PTR values[2];
    std::memcpy(values, block->bytes.get(), sizeof values);
    if (low) *low = values[0];
    if (high) *high = values[1];
    return TRUE;
}

BOOL FreeDDElParam(UINT message, LPARAM lparam)
{
    if (!is_packed(message)) return TRUE;
    if (!find_block((HGLOBAL)lparam)) return message == WM_DDE_ACK;
    return GlobalFree((HGLOBAL)lparam) == NULL;
}
