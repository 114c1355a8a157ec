#include "utf8/in_place.h"

#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/file_system.h"
#include "platform/large_pages.h"
#include "platform/processors.h"

namespace {

struct Files {
    const InPlaceWork* work;
    const char* const* names;
    int count;
    std::atomic<int> next{0};
    std::atomic<int> failed{0};
};

// Takes the next file until none is left.
void mark_files(Files* files)
{
    for (int k = files->next++; k < files->count; k = files->next++) {
        if (files->work->mark(files->work->context, files->names[k]) != 0) files->failed = 1;
    }
}

}  // namespace

int mark_in_place(const InPlaceWork* work, const char* const* names, int count, bool one_thread)
{
    Files files;
    files.work = work;
    files.names = names;
    files.count = count;
    // One thread per processor, this one included; each file is marked on
    // one thread, which makes its rows of the matcher as its text needs them.
    unsigned threads = usable_processors();
    if (threads > concurrent_output_files()) threads = concurrent_output_files();
    if (threads > static_cast<unsigned>(count)) threads = static_cast<unsigned>(count);
    if (one_thread) threads = 1;
    // The patterns are loaded: the loader's spare memory goes back, since
    // every thread's word cache and buffers come on top.
    heap_end_large_pages(true);
    std::vector<std::thread> others;
    for (unsigned k = 1; k < threads; ++k) {
        try {
            others.emplace_back(mark_files, &files);
        } catch (const std::system_error&) {
            break;
        }
    }
    mark_files(&files);
    for (std::thread& thread : others) thread.join();
    return files.failed != 0 ? 1 : 0;
}
