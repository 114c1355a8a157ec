#include "platform/memory.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>

#include "platform/features.h"
#include "platform/large_pages.h"

#if ZARNET_LINUX
#include <sys/mman.h>
#endif

void fail_allocation(std::size_t size)
{
    // Met again on the way out (in a handler that exit() runs), the process
    // ends at once.
    static thread_local bool ending_here = false;
    if (ending_here) std::_Exit(1);
    ending_here = true;
    // Threads of the text pass may run out at once: the first one ends the
    // process, the others wait for that.
    static std::mutex ending;
    ending.lock();
    std::fprintf(stderr, "can't allocate %lld bytes\n", static_cast<long long>(size));
    std::fflush(stderr);
    std::exit(1);
}

namespace {

std::atomic<long long> allocations_before_failure{-1};

// True when the allocation about to be made is the one chosen to fail.
bool injected_failure()
{
    if (allocations_before_failure.load(std::memory_order_relaxed) < 0) return false;
    return allocations_before_failure.fetch_sub(1) == 0;
}

// A block aligned to `alignment` (a power of two), released with
// release_aligned; null when memory cannot be had.
void* allocate_aligned(std::size_t size, std::size_t alignment)
{
    if (size == 0) size = 1;
#ifdef _WIN32
    return _aligned_malloc(size, alignment);
#else
    void* block = nullptr;
    return posix_memalign(&block, alignment < sizeof(void*) ? sizeof(void*) : alignment, size) == 0 ? block
                                                                                                     : nullptr;
#endif
}

void release_aligned(void* block)
{
#ifdef _WIN32
    _aligned_free(block);
#else
    std::free(block);
#endif
}

void* must_alloc_aligned(std::size_t size, std::align_val_t alignment)
{
    void* block = injected_failure() ? nullptr : allocate_aligned(size, static_cast<std::size_t>(alignment));
    if (block == nullptr) fail_allocation(size);
    return block;
}

}  // namespace

void mem_fail_allocation_after(long long count)
{
    allocations_before_failure = count;
}

void* must_alloc(std::size_t size)
{
    // malloc(0) may legitimately return null; ask for one byte instead.
    void* block = injected_failure() ? nullptr : std::malloc(size == 0 ? 1 : size);
    if (block == nullptr) fail_allocation(size);
    return block;
}

void* must_realloc(void* block, std::size_t size)
{
    void* grown = injected_failure() ? nullptr : std::realloc(block, size == 0 ? 1 : size);
    if (grown == nullptr) fail_allocation(size);
    return grown;
}

void* must_alloc_zeroed(std::size_t count, std::size_t size)
{
    void* block = injected_failure() ? nullptr : std::calloc(count == 0 ? 1 : count, size == 0 ? 1 : size);
    if (block == nullptr) fail_allocation(count * size);
    return block;
}

void mem_release(void* block)
{
    std::free(block);
}

void* must_alloc_large(std::size_t size)
{
#if ZARNET_LINUX && defined(MADV_HUGEPAGE)
    // Huge pages must be whole and aligned: the part of the block after
    // the last whole one stays in ordinary pages.
    if (size >= LARGE_PAGE_BYTES) {
        void* block = nullptr;
        if (injected_failure() || posix_memalign(&block, LARGE_PAGE_BYTES, size) != 0) fail_allocation(size);
        madvise(block, size / LARGE_PAGE_BYTES * LARGE_PAGE_BYTES, MADV_HUGEPAGE);
        return block;
    }
#endif
    return must_alloc(size);
}

void* must_alloc_table(std::size_t size)
{
#if ZARNET_LINUX && defined(MADV_HUGEPAGE)
    if (size >= LARGE_PAGE_BYTES) {
        // Whole huge pages: a part page would be touched 4 KiB at a time,
        // a fault for each (a 3 MiB table took 256 more).
        const std::size_t whole = (size + LARGE_PAGE_BYTES - 1) / LARGE_PAGE_BYTES * LARGE_PAGE_BYTES;
        void* block = must_alloc_large(whole);
        std::memset(block, 0, whole);
        return block;
    }
#endif
    return must_alloc_zeroed(1, size);
}

void* grow_for_append(void* block, std::size_t count, std::size_t entry_size)
{
    if (count == 0) return must_alloc(entry_size);
    if ((count & (count - 1)) == 0) return must_realloc(block, 2 * count * entry_size);
    return block;
}

void* grow_to_fit(void* block, std::size_t* room, std::size_t needed)
{
    if (*room >= needed) return block;
    while (*room < needed) *room *= 2;
    return must_realloc(block, *room);
}

char* copy_string(const char* text)
{
    const std::size_t length = std::strlen(text);
    char* copy = static_cast<char*>(must_alloc(length + 1));
    std::memcpy(copy, text, length + 1);
    return copy;
}

// The C++ library's own allocations (strings, vectors, threads) end the
// process like must_alloc when memory runs out, with the size asked for,
// instead of throwing std::bad_alloc. The forms that may return null still
// do, for the callers that then make do with less.

void* operator new(std::size_t size)
{
    return must_alloc(size);
}

void* operator new[](std::size_t size)
{
    return must_alloc(size);
}

void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new[](std::size_t size, const std::nothrow_t&) noexcept
{
    return std::malloc(size == 0 ? 1 : size);
}

void* operator new(std::size_t size, std::align_val_t alignment)
{
    return must_alloc_aligned(size, alignment);
}

void* operator new[](std::size_t size, std::align_val_t alignment)
{
    return must_alloc_aligned(size, alignment);
}

void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocate_aligned(size, static_cast<std::size_t>(alignment));
}

void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept
{
    return allocate_aligned(size, static_cast<std::size_t>(alignment));
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete[](void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete[](void* block, std::size_t) noexcept
{
    std::free(block);
}

void operator delete(void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

void operator delete[](void* block, const std::nothrow_t&) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::align_val_t) noexcept
{
    release_aligned(block);
}

void operator delete[](void* block, std::align_val_t) noexcept
{
    release_aligned(block);
}

void operator delete(void* block, std::size_t, std::align_val_t) noexcept
{
    release_aligned(block);
}

void operator delete[](void* block, std::size_t, std::align_val_t) noexcept
{
    release_aligned(block);
}

void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    release_aligned(block);
}

void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept
{
    release_aligned(block);
}
