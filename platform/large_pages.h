#pragma once
// Most runs are short, and in a short run much of the time goes to the
// system handing out memory page by page: a large pattern set touches about
// a thousand pages of 4 KiB, each a fault. Pages of 2 MiB (transparent huge
// pages) cut that to a few faults.

#include <cstddef>

// The size of such a page.
constexpr std::size_t LARGE_PAGE_BYTES = std::size_t{1} << 21;

// Sets the C library's heap up so that the next `bytes` of it lie on 2 MiB
// pages where the system offers them (Linux with glibc and transparent huge
// pages on "madvise" or "always"), and so that large blocks come from that
// heap too. Only the speed of later allocations changes; anywhere else, or
// when the system refuses, this does nothing. Call it once, first thing.
void heap_use_large_pages(std::size_t bytes);

// Ends the above once the patterns are loaded: from then on large blocks
// (the text pass's buffers and word cache) are mapped one by one again, as
// the C library does by default, so that their pages are touched only as
// they are used. With `give_back`, the heap's free memory is handed back to
// the system too (the loader's outgrown copies), so that a long run's memory
// stays what it needs. Does nothing unless the heap was set up.
void heap_end_large_pages(bool give_back);
