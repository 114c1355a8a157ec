#include "breaks/parallel_pass.h"

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

namespace {

static_assert(CHUNK_MIN > static_cast<std::size_t>(WALK_LIMIT), "a piece must hold a run's whole walk");

struct Piece {
    unsigned char* text;    // the piece's capacity and COPY_SLACK bytes more
    std::size_t count;
    bool in_long_run;       // starts inside a run whose marked head an earlier piece wrote
    unsigned char* marked;  // the marked text, `marked_length` bytes, once done
    std::size_t marked_length;
    bool done;              // under Shared::mutex once workers run
};

struct Shared {
    std::mutex mutex;
    std::condition_variable work_ready;
    std::condition_variable piece_done;
    std::vector<Piece> pieces;  // a ring: piece number n lives at n % size
    std::size_t submitted = 0;  // pieces below this number are handed to the workers
    std::size_t taken = 0;      // and below this one taken by a worker
    bool stop = false;
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

// Marks one piece; its marked text takes the marker's output block, which
// takes the piece's old one in exchange.
void mark_piece(TextMarker* marker, Piece* piece)
{
    marker->writer.used = 0;
    marker->in_long_run = piece->in_long_run;
    text_marker_feed(marker, piece->text, piece->count, true);
    unsigned char* block = marker->writer.bytes;
    marker->writer.bytes = piece->marked;
    piece->marked = block;
    piece->marked_length = marker->writer.used;
}

// A worker's own copy of the compiled matcher: its rows are made as that
// worker's text needs them, so threads share nothing that changes.
struct Worker {
    TextMarker text;
    FastMarker fast;
    const FastMarker* original;
    CompiledAutomaton* compiled;  // its own, or null for the calling thread's
};

// Makes `worker->fast` mark as `original` does, with a matcher of its own.
// Byte classes are numbered alike for the same automaton, but only the
// mapping from one numbering to the other is relied on.
bool make_own_matcher(Worker* worker)
{
    const FastMarker* original = worker->original;
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
    if (worker->text.marker == &worker->fast && !make_own_matcher(worker)) return;
    std::unique_lock<std::mutex> lock(shared->mutex);
    for (;;) {
        shared->work_ready.wait(lock, [shared] { return shared->stop || shared->taken < shared->submitted; });
        if (shared->taken == shared->submitted) return;
        Piece* piece = &shared->pieces[shared->taken % shared->pieces.size()];
        ++shared->taken;
        lock.unlock();
        mark_piece(&worker->text, piece);
        lock.lock();
        piece->done = true;
        shared->piece_done.notify_one();
    }
}

struct Run {
    const FastMarker* marker;
    std::FILE* out;
    std::size_t capacity;      // of a piece's text
    std::size_t out_capacity;  // of a marked piece
    Shared shared;
    std::vector<Worker> workers;  // [0] marks on the calling thread until the workers take over
    std::vector<std::thread> threads;
    std::size_t written = 0;  // pieces written out, by number
    int write_error = 0;
    bool failed = false;      // reading or writing failed: nothing more is written
};

void write_piece(Run* run, Piece* piece)
{
    if (run->failed || piece->marked_length == 0) return;
    errno = 0;
    if (std::fwrite(piece->marked, 1, piece->marked_length, run->out) != piece->marked_length) {
        run->write_error = saved_errno(EIO);
        run->failed = true;
    }
}

// Writes the pieces done so far in their order, up to the one numbered
// `until`; with `wait`, waits for each of them.
void write_done(Run* run, std::size_t until, bool wait)
{
    Shared* shared = &run->shared;
    while (run->written < until) {
        Piece* piece = &shared->pieces[run->written % shared->pieces.size()];
        if (!run->threads.empty()) {
            std::unique_lock<std::mutex> lock(shared->mutex);
            if (!wait && !piece->done) return;
            shared->piece_done.wait(lock, [piece] { return piece->done; });
        }
        write_piece(run, piece);
        ++run->written;
    }
}

void add_worker(Run* run)
{
    run->workers.emplace_back();
    Worker* worker = &run->workers.back();
    worker->original = run->marker;
    worker->compiled = nullptr;
    // The first worker is the calling thread's marker, matcher and all.
    const FastMarker* fast = run->workers.size() == 1 ? run->marker : &worker->fast;
    text_marker_create(&worker->text, fast, run->capacity, nullptr, run->out_capacity);
}

// Starts the workers with piece `first` as the next to mark.
void start_workers(Run* run, unsigned workers, std::size_t first)
{
    run->shared.submitted = first;
    run->shared.taken = first;
    while (run->workers.size() < workers) add_worker(run);
    for (unsigned k = 0; k < workers; ++k) {
        // Too few threads still mark the whole text; none, and the calling
        // thread goes on alone.
        try {
            run->threads.emplace_back(work, &run->shared, &run->workers[k]);
        } catch (const std::system_error&) {
            break;
        }
    }
}

}  // namespace

StreamEnd run_text_parallel(const FastMarker* marker, ByteSource* in, std::FILE* out, int* error,
                            const ParallelOptions& options)
{
    Run run{marker, out, text_chunk_capacity(options.piece), 0, {}, {}, {}, 0, 0, false};
    // A marked piece is at most twice its text; the fixed-size copies reach a little further.
    run.out_capacity = 2 * run.capacity + SHORT_COPY + MARKED_COPY;
    Shared* shared = &run.shared;
    shared->pieces.resize(options.workers + 2);
    for (Piece& piece : shared->pieces) {
        piece = Piece{static_cast<unsigned char*>(must_alloc(run.capacity + COPY_SLACK)), 0, false,
                      static_cast<unsigned char*>(must_alloc(run.out_capacity + COPY_SLACK)), 0, false};
    }
    // Workers keep their place: threads hold pointers to them.
    run.workers.reserve(options.workers + 1);
    add_worker(&run);

    const bool* letter = marker->letter;
    unsigned char carry[WALK_LIMIT];
    std::size_t carried = 0;
    bool next_in_long_run = false;
    std::size_t alone = 0;  // bytes marked on this thread
    int read_error = 0;
    std::size_t number = 0;
    const std::size_t ring = shared->pieces.size();
    for (bool final = false; !final && !run.failed;) {
        write_done(&run, number + 1 > ring ? number + 1 - ring : 0, true);
        Piece* piece = &shared->pieces[number % ring];
        std::memcpy(piece->text, carry, carried);
        const std::size_t wanted = run.capacity - carried;
        const std::size_t got = byte_source_read(in, piece->text + carried, wanted);
        if (got < wanted) {
            read_error = in->error;
            final = true;
        }
        std::size_t count = carried + got;
        // The text ends at its first NUL byte.
        const void* nul = std::memchr(piece->text + carried, 0, got);
        if (nul != nullptr) {
            count = static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - piece->text);
            final = true;
        }
        if (read_error != 0) {
            run.failed = true;
            break;
        }
        piece->in_long_run = next_in_long_run;
        piece->count = final || count == 0 ? count : cut_piece(letter, piece->text, count, &next_in_long_run);
        carried = count - piece->count;
        std::memcpy(carry, piece->text + piece->count, carried);
        std::memset(piece->text + piece->count, 0, COPY_SLACK);
        piece->done = false;
        if (piece->count == 0) {
            piece->marked_length = 0;
            piece->done = true;
        } else if (run.threads.empty() && (options.workers == 0 || alone < options.alone_bytes)) {
            mark_piece(&run.workers[0].text, piece);
            piece->done = true;
            alone += piece->count;
        } else {
            if (run.threads.empty()) start_workers(&run, options.workers, number);
            if (run.threads.empty()) {
                mark_piece(&run.workers[0].text, piece);
                piece->done = true;
            } else {
                std::lock_guard<std::mutex> lock(shared->mutex);
                ++shared->submitted;
                shared->work_ready.notify_one();
            }
        }
        ++number;
        write_done(&run, number, false);
    }
    // Pieces still being marked are waited for; after a failure they are not written.
    write_done(&run, number, true);
    {
        std::lock_guard<std::mutex> lock(shared->mutex);
        shared->stop = true;
    }
    shared->work_ready.notify_all();
    for (std::thread& thread : run.threads) thread.join();

    for (Worker& worker : run.workers) {
        text_marker_destroy(&worker.text);
        if (worker.compiled != nullptr) compiled_automaton_destroy(worker.compiled);
    }
    for (Piece& piece : shared->pieces) {
        mem_release(piece.text);
        mem_release(piece.marked);
    }
    if (read_error != 0) {
        *error = read_error;
        return StreamEnd::read_failed;
    }
    if (run.write_error != 0) {
        *error = run.write_error;
        return StreamEnd::write_failed;
    }
    return StreamEnd::complete;
}
