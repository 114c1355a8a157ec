#pragma once
// Allocation that never hands back null: when memory cannot be had the
// process ends with "can't allocate N bytes" on standard error and exit code 1.

#include <cstddef>

void* must_alloc(std::size_t size);
void* must_realloc(void* block, std::size_t size);
// A block of count * size bytes, all zero.
void* must_alloc_zeroed(std::size_t count, std::size_t size);
void mem_release(void* block);

// A zeroed block of `size` bytes for a large table that is read all over:
// where the system allows, it is backed by huge pages (the block rounded up
// to whole ones), so that looking up the table neither misses the
// processor's address cache (TLB) at every turn nor takes a page fault for
// each 4 KiB page first touched. Released with mem_release.
void* must_alloc_table(std::size_t size);

// A block of `size` bytes, not cleared, for large buffers and tables that a
// thread fills as it goes: backed by huge pages where the system allows, so
// that its first touches take a fault for every 2 MiB instead of every
// 4 KiB. Released with mem_release; grows with must_realloc.
void* must_alloc_large(std::size_t size);

// Growable arrays start with room for one entry and double whenever an entry
// is appended while their count is a power of two (1, 2, 4, 8 ...). Returns
// the array, from must_alloc, with room for entry number `count`; `block` is
// null while `count` is 0.
void* grow_for_append(void* block, std::size_t count, std::size_t entry_size);

// Returns `block` grown, by doubling *room (counted in bytes), until it holds
// at least `needed` bytes; *room is updated.
void* grow_to_fit(void* block, std::size_t* room, std::size_t needed);

// A new block holding the NUL-terminated text and its NUL.
char* copy_string(const char* text);

// For tests: makes the allocation after the next `count` ones fail as if
// memory were exhausted (count 0: the very next one). A negative count turns
// this off, which is how the program starts.
void mem_fail_allocation_after(long long count);

// Writes the out-of-memory message for a request of `size` bytes and ends
// the process with exit code 1.
[[noreturn]] void fail_allocation(std::size_t size);
