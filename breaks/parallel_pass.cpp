#include "breaks/parallel_pass.h"

#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "breaks/copy_slack.h"
#include "breaks/mark_cache.h"
#include "common/memory.h"
#include "common/saved_errno.h"

// Every thread, the calling one included, takes the next piece of the text
// (reading is done by one thread at a time, in order), marks it, waits for
// its turn and writes it. No thread only reads or writes: on a machine with
// as many processors as threads, none waits to be scheduled. No lock is held
// while a piece is written, so one thread reads while another writes.

namespace {

static_assert(CHUNK_MIN > static_cast<std::size_t>(WALK_LIMIT), "a piece must hold a run's whole walk");

// A worker's own copy of the compiled matcher lets its rows be made as that
// worker's text needs them, so threads share nothing that changes.
struct Worker {
    TextMarker text;              // its output block holds the marked piece
    FastMarker fast;              // the worker's matcher, unless it is the calling thread's
    CompiledAutomaton* compiled;  // its own, or null
    unsigned char* piece;         // text of the piece being marked, and COPY_SLACK bytes more
};

struct Shared {
    const FastMarker* marker;
    std::size_t capacity;      // of a piece
    std::size_t out_capacity;  // of a marked piece

    // Reading, one thread at a time.
    std::mutex read_mutex;
    ByteSource* in;
    unsigned char carry[WALK_LIMIT];  // the start of the next piece
    std::size_t carried = 0;
    bool next_in_long_run = false;
    bool final = false;        // the whole text is read
    int read_error = 0;
    std::size_t read = 0;      // pieces read, which numbers them
    std::size_t bytes = 0;     // bytes read

    // Writing, in the pieces' order: the mutex guards `written`; only the
    // thread whose turn it is writes, outside the mutex.
    std::mutex write_mutex;
    std::condition_variable turn;
    std::FILE* out;
    std::size_t written = 0;   // pieces whose turn to be written is over
    int write_error = 0;       // set by the writing thread before `written` moves on
    std::atomic<bool> failed{false};  // reading or writing failed: nothing more is written or read
};

// Where the piece in text[0 .. count) may end so that the marks of every run
// in it are known from the piece alone: after a byte that is not a letter,
// or deep enough inside a run that no walk sees past the cut (the next piece
// then starts inside that run). The rest of the text goes to the next piece.
std::size_t cut_piece(const bool* letter, const unsigned char* text, std::size_t count, bool* next_in_long_run)
{
    *next_in_long_run = false;
    if (!letter[text[count - 1]]) return count;
    std::size_t start = count;
    const std::size_t deep = static_cast<std::size_t>(WALK_LIMIT);
    while (start > 0 && letter[text[start - 1]] && count - start < deep) --start;
    if (count - start >= deep) {
        *next_in_long_run = true;
        return count;
    }
    return start;  // never 0: count > WALK_LIMIT
}

// Reads the next piece into the worker's buffer. Returns false when there is
// none (the text is read, or a failure ended the run); otherwise *number
// and *count tell which piece it is and how long.
bool read_piece(Shared* shared, Worker* worker, std::size_t* number, std::size_t* count, bool* in_long_run)
{
    std::lock_guard<std::mutex> lock(shared->read_mutex);
    if (shared->final || shared->failed.load(std::memory_order_relaxed)) return false;
    unsigned char* text = worker->piece;
    std::memcpy(text, shared->carry, shared->carried);
    const std::size_t wanted = shared->capacity - shared->carried;
    const std::size_t got = byte_source_read(shared->in, text + shared->carried, wanted);
    std::size_t filled = shared->carried + got;
    if (got < wanted) {
        shared->final = true;
        if (shared->in->error != 0) {
            shared->read_error = shared->in->error;
            shared->failed.store(true, std::memory_order_relaxed);
            return false;
        }
    }
    // The text ends at its first NUL byte.
    const void* nul = std::memchr(text + shared->carried, 0, got);
    if (nul != nullptr) {
        filled = static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - text);
        shared->final = true;
    }
    *in_long_run = shared->next_in_long_run;
    *count = shared->final || filled == 0 ? filled
                                          : cut_piece(shared->marker->letter, text, filled, &shared->next_in_long_run);
    shared->carried = filled - *count;
    std::memcpy(shared->carry, text + *count, shared->carried);
    std::memset(text + *count, 0, COPY_SLACK);
    *number = shared->read++;
    shared->bytes += *count;
    return true;
}

// Marks the piece into the worker's output block. `whole`: the piece is the
// whole text.
void mark_piece(Worker* worker, std::size_t count, bool in_long_run, bool whole)
{
    // Each piece is fed as a final block, which would size the word cache for
    // that piece alone: a text of many pieces needs the whole cache.
    if (worker->text.cache.slots == nullptr && !whole) {
        mark_cache_create(&worker->text.cache, worker->text.marker, MARK_CACHE_SET_BITS);
    }
    worker->text.writer.used = 0;
    worker->text.in_long_run = in_long_run;
    if (count != 0) text_marker_feed(&worker->text, worker->piece, count, true);
}

// Waits for the piece's turn and writes it (unless a failure came first).
void write_piece(Shared* shared, Worker* worker, std::size_t number)
{
    {
        std::unique_lock<std::mutex> lock(shared->write_mutex);
        shared->turn.wait(lock, [shared, number] { return shared->written == number; });
    }
    // Until `written` moves on, the file is this thread's alone.
    const std::size_t length = worker->text.writer.used;
    if (!shared->failed.load(std::memory_order_relaxed) && length != 0) {
        errno = 0;
        if (std::fwrite(worker->text.writer.bytes, 1, length, shared->out) != length) {
            shared->write_error = saved_errno(EIO);
            shared->failed.store(true, std::memory_order_relaxed);
        }
    }
    {
        std::lock_guard<std::mutex> lock(shared->write_mutex);
        ++shared->written;
    }
    shared->turn.notify_all();
}

// Makes `worker->fast` mark as the calling thread's marker does, with a
// matcher of its own. Byte classes are numbered alike for the same
// automaton, but only the mapping from one numbering to the other is relied on.
bool make_own_matcher(Worker* worker, const FastMarker* original)
{
    worker->compiled = compile_automaton(original->automaton->automaton);
    if (worker->compiled == nullptr) return false;
    std::uint8_t map[256] = {};
    for (int b = 0; b < 256; ++b) map[original->automaton->byte_class[b]] = worker->compiled->byte_class[b];
    for (int b = 0; b < 256; ++b) {
        if (map[original->automaton->byte_class[b]] != worker->compiled->byte_class[b]) return false;
    }
    worker->fast = *original;
    worker->fast.automaton = worker->compiled;
    for (int b = 0; b < 256; ++b) worker->fast.letter_class[b] = map[original->letter_class[b]];
    worker->fast.dot_class = map[original->dot_class];
    return true;
}

void work(Shared* shared, Worker* worker)
{
    // A worker without a matcher takes no pieces; the others mark them all.
    if (!make_own_matcher(worker, shared->marker)) return;
    std::size_t number = 0;
    std::size_t count = 0;
    bool in_long_run = false;
    while (read_piece(shared, worker, &number, &count, &in_long_run)) {
        mark_piece(worker, count, in_long_run, false);
        write_piece(shared, worker, number);
    }
}

void worker_create(Worker* worker, const Shared* shared, const FastMarker* fast)
{
    worker->compiled = nullptr;
    worker->piece = static_cast<unsigned char*>(must_alloc(shared->capacity + COPY_SLACK));
    text_marker_create(&worker->text, fast, shared->capacity, nullptr, shared->out_capacity);
}

void worker_destroy(Worker* worker)
{
    text_marker_destroy(&worker->text);
    mem_release(worker->piece);
    if (worker->compiled != nullptr) compiled_automaton_destroy(worker->compiled);
}

}  // namespace

StreamEnd run_text_parallel(const FastMarker* marker, ByteSource* in, std::FILE* out, int* error,
                            const ParallelOptions& options)
{
    Shared shared;
    shared.marker = marker;
    shared.capacity = text_chunk_capacity(options.piece);
    // A marked piece is at most twice its text; the fixed-size copies reach a little further.
    shared.out_capacity = 2 * shared.capacity + SHORT_COPY + MARKED_COPY;
    shared.in = in;
    shared.out = out;

    // Workers keep their place: threads hold pointers to them. The first
    // is this thread, with the caller's matcher.
    std::vector<Worker> workers(options.workers + 1);
    worker_create(&workers[0], &shared, marker);
    std::size_t created = 1;
    std::vector<std::thread> threads;
    bool started = options.workers == 0;
    std::size_t number = 0;
    std::size_t count = 0;
    bool in_long_run = false;
    while (read_piece(&shared, &workers[0], &number, &count, &in_long_run)) {
        if (!started && !shared.final && shared.bytes >= options.alone_bytes) {
            started = true;
            for (std::size_t k = 1; k < workers.size(); ++k) {
                worker_create(&workers[k], &shared, &workers[k].fast);
                ++created;
                // A new thread starts with the words this one has seen.
                mark_cache_copy(&workers[k].text.cache, &workers[0].text.cache);
                // Too few threads still mark the whole text; none, and this
                // thread goes on alone.
                try {
                    threads.emplace_back(work, &shared, &workers[k]);
                } catch (const std::system_error&) {
                    break;
                }
            }
        }
        mark_piece(&workers[0], count, in_long_run, number == 0 && shared.final);
        write_piece(&shared, &workers[0], number);
    }
    for (std::thread& thread : threads) thread.join();
    for (std::size_t k = 0; k < created; ++k) worker_destroy(&workers[k]);
    if (shared.read_error != 0) {
        *error = shared.read_error;
        return StreamEnd::read_failed;
    }
    if (shared.write_error != 0) {
        *error = shared.write_error;
        return StreamEnd::write_failed;
    }
    return StreamEnd::complete;
}
