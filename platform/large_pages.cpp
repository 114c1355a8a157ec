#include "platform/large_pages.h"

#include "platform/features.h"

// The sanitizers bring their own malloc.
#if ZARNET_LINUX && defined(__GLIBC__) && !ZARNET_SANITIZED
#include <malloc.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>

namespace {

// The blocks taken to align the heap, kept for the life of the process.
void* volatile first_block = nullptr;
void* volatile below_boundary = nullptr;
bool set_up = false;

}  // namespace

void heap_use_large_pages(std::size_t bytes)
{
    constexpr std::uintptr_t LARGE_PAGE = LARGE_PAGE_BYTES;
    // Blocks up to the largest threshold the C library takes are carved
    // from the heap instead of being mapped one by one, and freed memory
    // stays with the heap.
    if (mallopt(M_MMAP_THRESHOLD, 32 << 20) == 0 || mallopt(M_TRIM_THRESHOLD, 1 << 30) == 0) return;
    set_up = true;
    // The heap grows by `bytes` at once; a range that is only reserved
    // costs nothing until it is touched.
    if (mallopt(M_TOP_PAD, static_cast<int>(bytes)) == 0) return;
    // The heap below the first 2 MiB boundary above its end is taken by
    // one block that is never used or freed (only its header is touched),
    // so that what is allocated next lies above the boundary.
    first_block = std::malloc(1);
    const std::uintptr_t start = reinterpret_cast<std::uintptr_t>(first_block);
    const std::uintptr_t aligned = (reinterpret_cast<std::uintptr_t>(sbrk(0)) + LARGE_PAGE) & ~(LARGE_PAGE - 1);
    // Where the small block did not come from the heap's end (another
    // allocator in charge, or the heap already fragmented), nothing more.
    if (first_block != nullptr && aligned >= start + 128 && aligned - start <= 2 * LARGE_PAGE) {
        below_boundary = std::malloc(aligned - start - 64);
        const std::uintptr_t end = reinterpret_cast<std::uintptr_t>(sbrk(0));
        if (below_boundary != nullptr && end > aligned) {
            madvise(reinterpret_cast<void*>(aligned), end - aligned, MADV_HUGEPAGE);
        }
    }
    mallopt(M_TOP_PAD, 128 << 10);
}

void heap_end_large_pages(bool give_back)
{
    if (!set_up) return;
    mallopt(M_MMAP_THRESHOLD, 128 << 10);
    if (give_back) malloc_trim(0);
}
#else
void heap_use_large_pages(std::size_t) {}
void heap_end_large_pages(bool) {}
#endif
