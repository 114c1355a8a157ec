#include <gtest/gtest.h>

#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "platform/memory.h"
#include "tests/support/test_support.h"

namespace {

// ---- allocation -------------------------------------------------------------

// Reachable from a global, so that a leak checker run at exit in the child
// does not count the block that the failed resize leaves behind.
void* volatile held_block = nullptr;
std::vector<char> held_vector;
std::string held_string;

TEST(MemoryDeathTest, FailedAllocationReportsRequestedSizeAndExits1)
{
    const std::size_t huge = std::size_t{1} << 62;
    EXPECT_EXIT(must_alloc(huge), ::testing::ExitedWithCode(1), "can't allocate 4611686018427387904 bytes\n$");
}

TEST(MemoryDeathTest, SizeIsPrintedAsSignedDecimal)
{
    EXPECT_EXIT(must_alloc(SIZE_MAX), ::testing::ExitedWithCode(1), "can't allocate -1 bytes\n$");
}

TEST(MemoryDeathTest, FailedResizeReportsRequestedSizeAndExits1)
{
    EXPECT_EXIT(
        {
            held_block = must_alloc(16);
            held_block = must_realloc(held_block, std::size_t{3} << 61);
        },
        ::testing::ExitedWithCode(1), "can't allocate 6917529027641081856 bytes\n$");
}

TEST(MemoryDeathTest, AllocationsOfTheLibraryEndTheSameWay)
{
    const std::size_t huge = std::size_t{1} << 62;
    EXPECT_EXIT(std::vector<char>(huge).swap(held_vector), ::testing::ExitedWithCode(1),
                "can't allocate 4611686018427387904 bytes\n$");
    EXPECT_EXIT(held_string.reserve(huge / 2), ::testing::ExitedWithCode(1),
                "can't allocate 2305843009213693953 bytes\n$");
}

TEST(Memory, ZeroSizedRequestGivesABlockAndResizeKeepsContents)
{
    char* block = static_cast<char*>(must_alloc(0));
    ASSERT_NE(block, nullptr);
    block = static_cast<char*>(must_realloc(block, 4));
    std::memcpy(block, "abcd", 4);
    block = static_cast<char*>(must_realloc(block, 1 << 20));
    block[(1 << 20) - 1] = 'z';
    EXPECT_EQ(std::string(block, 4), "abcd");
    mem_release(block);
}

TEST(Memory, LargeBlocksAreWholeAndGrowWithTheirContents)
{
    // Below and above the size of a large page: every byte writable, and a
    // block grown by must_realloc keeps what it held.
    for (std::size_t size : {std::size_t{4096}, std::size_t{3} << 20}) {
        unsigned char* block = static_cast<unsigned char*>(must_alloc_large(size));
        for (std::size_t i = 0; i < size; i += 4093) block[i] = static_cast<unsigned char>(i % 251);
        block[size - 1] = 0x5A;
        block = static_cast<unsigned char*>(must_realloc(block, 2 * size));
        block[2 * size - 1] = 0xA5;
        for (std::size_t i = 0; i < size; i += 4093) ASSERT_EQ(block[i], static_cast<unsigned char>(i % 251)) << i;
        EXPECT_EQ(block[size - 1], 0x5A);
        mem_release(block);
    }
}

TEST(Memory, GrowingArraysKeepTheirEntriesAndResizeOnlyAtPowersOfTwo)
{
    int* entries = nullptr;
    for (std::size_t count = 0; count < 100; ++count) {
        if ((count & (count - 1)) != 0) mem_fail_allocation_after(0);  // a resize here would end the test
        entries = static_cast<int*>(grow_for_append(entries, count, sizeof(int)));
        mem_fail_allocation_after(-1);
        entries[count] = static_cast<int>(count);
    }
    for (int k = 0; k < 100; ++k) EXPECT_EQ(entries[k], k);
    mem_release(entries);

    std::size_t room = 3;
    char* bytes = static_cast<char*>(must_alloc(room));
    bytes = static_cast<char*>(grow_to_fit(bytes, &room, 3));
    EXPECT_EQ(room, 3u);
    bytes = static_cast<char*>(grow_to_fit(bytes, &room, 13));
    EXPECT_EQ(room, 24u);
    bytes[23] = 'z';
    mem_release(bytes);
}

TEST(Memory, CopyStringMakesAnIndependentCopy)
{
    for (const char* text : {"", "x", "hyphen\xAC\xFF text"}) {
        char* copy = copy_string(text);
        EXPECT_NE(copy, text);
        EXPECT_STREQ(copy, text);
        mem_release(copy);
    }
}

}  // namespace
