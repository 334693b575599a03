// Global memory: blocks reached by handle, lock counting, release, the fault
// that makes an allocation fail, and the packing of DDE parameters.
#include <cstring>

#include "faults.h"
#include "kernel/global_memory.h"
#include "support/machine_fixture.h"

namespace {

using GlobalMemoryTest = MachineTest;

TEST_F(GlobalMemoryTest, AShareableBlockIsReachedByAHandleThatIsNotItsAddress)
{
    HGLOBAL block = GlobalAlloc(GMEM_DDESHARE, 1000);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(GlobalSize(block), 1000u);
    char* text = (char*)GlobalLock(block);
    ASSERT_NE(text, nullptr);
    EXPECT_NE((void*)text, block);
    EXPECT_NE(text[0], 0) << "a block not asked to be zeroed is not zero";
    std::strcpy(text, "[ShowGroup(1)]");
    EXPECT_EQ(GlobalLock(block), text) << "a fixed block stays in place";
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_SUCCESS);
    EXPECT_EQ(platform::global_blocks_in_use(), 1u);
    EXPECT_EQ(GlobalFree(block), nullptr);
    EXPECT_EQ(platform::global_blocks_in_use(), 0u);
    EXPECT_FALSE(platform::global_block_exists(block));

    EXPECT_EQ(GlobalFree(block), block) << "a freed block cannot be freed again";
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_INVALID_HANDLE);
    EXPECT_EQ(GlobalLock(block), nullptr);
    EXPECT_EQ(GlobalLock((HGLOBAL)text), nullptr) << "an address is not a handle";
    EXPECT_EQ(GlobalSize(block), 0u);
}

TEST_F(GlobalMemoryTest, AMoveableBlockCountsItsLocks)
{
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 16);
    char* bytes = (char*)GlobalLock(block);
    EXPECT_EQ(bytes[15], 0);
    GlobalLock(block);
    EXPECT_TRUE(GlobalUnlock(block)) << "still locked once";
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_SUCCESS);
    EXPECT_FALSE(GlobalUnlock(block));
    EXPECT_EQ(GetLastError(), (DWORD)ERROR_NOT_LOCKED);
    GlobalFree(block);
}

TEST_F(GlobalMemoryTest, AllocationsThatCannotBeHadFail)
{
    struct Case {
        const char* name;
        UINT flags;
        size_t bytes;
        bool fault;
        DWORD error;
    };
    const Case cases[] = {
        {"the fault switch", GMEM_DDESHARE, 1000, true, ERROR_NOT_ENOUGH_MEMORY},
        {"more than the machine has", GMEM_DDESHARE, size_t(1) << 40, false, ERROR_NOT_ENOUGH_MEMORY},
        {"an unknown flag", 0x80000000u, 10, false, ERROR_INVALID_PARAMETER},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.fault) platform::faults().global_alloc.arm();
        EXPECT_EQ(GlobalAlloc(c.flags, c.bytes), nullptr);
        EXPECT_EQ(GetLastError(), c.error);
        EXPECT_EQ(platform::global_blocks_in_use(), 0u);
    }
    EXPECT_NE(GlobalAlloc(GMEM_DDESHARE, 1000), nullptr) << "the fault fires once";
}

TEST_F(GlobalMemoryTest, TwoValuedDdeParametersArePackedAndUnpacked)
{
    HGLOBAL commands = GlobalAlloc(GMEM_DDESHARE, 10);
    LPARAM packed = PackDDElParam(WM_DDE_ACK, DDE_FACK, (UINT_PTR)commands);
    UINT_PTR low = 0, high = 0;
    ASSERT_TRUE(UnpackDDElParam(WM_DDE_ACK, packed, &low, &high));
    EXPECT_EQ(low, (UINT_PTR)DDE_FACK);
    EXPECT_EQ(high, (UINT_PTR)commands);
    EXPECT_TRUE(FreeDDElParam(WM_DDE_ACK, packed));
    EXPECT_EQ(platform::global_blocks_in_use(), 1u);

    // An execute carries the block itself, and the answer to an initiate its two atoms side by side.
    EXPECT_EQ(PackDDElParam(WM_DDE_EXECUTE, 0, (UINT_PTR)commands), (LPARAM)commands);
    ASSERT_TRUE(UnpackDDElParam(WM_DDE_ACK, MAKELPARAM(0xC001, 0xC002), &low, &high));
    EXPECT_EQ(low, 0xC001u);
    EXPECT_EQ(high, 0xC002u);
}

}  // namespace
