#include "engine/parallel_pass.h"

#include <cstdint>
#include <cstring>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

#include "engine/copy_slack.h"
#include "engine/word_cache.h"
#include "platform/memory.h"
#include "platform/expect.h"

// The calling thread reads the text into a ring of pieces; any thread marks
// them, and the marked pieces are handed to the sink in their order by
// whichever thread finds the next one marked while no other is handing
// pieces on. A piece's marks are kept as bits, and the sink writes them into
// the text. A piece is taken by whichever thread comes first, the oldest
// first, so a worker that the system keeps waiting holds up one piece while
// the others go on with the rest of the ring. The calling thread reads
// first, then marks, and hands pieces on only when it has nothing else to
// do: reading is its alone, so the others mark and write while it reads.

namespace {

static_assert(CHUNK_MIN > static_cast<std::size_t>(WALK_LIMIT), "a piece must hold a run's whole walk");

// One place of the ring: a piece of text and its marks.
struct Slot {
    unsigned char* text;    // capacity bytes and COPY_SLACK more
    std::uint64_t* marks;   // bit i of word k: a mark after byte 64k + i; as many words as a TextMarker's
    std::size_t count;      // bytes of text
    bool in_long_run;       // the piece starts inside a run whose head an earlier piece marked
    bool whole;             // the piece is the whole text
    bool done;              // marked, waiting for its turn to be written
};

// A thread's own marking state. The threads share the calling thread's word
// cache and compiled matcher, whose words and rows any of them adds as its
// text needs them; for a pattern set too large to share the matcher, a
// worker has a matcher of its own.
struct Worker {
    TextMarker text;              // its marks point at the slot being marked
    std::uint64_t* own_marks;     // the marks of its own, given back at the end
    FastMarker fast;              // the worker's marker, unless it is the calling thread's
    CompiledAutomaton* compiled;  // its own matcher, or null
};

struct Shared {
    const FastMarker* marker;
    const MarkSink* out;
    bool one_matcher;          // the threads share the marker's matcher
    std::size_t capacity;      // of a piece
    std::vector<Slot> slots;

    // Pieces are numbered in the order of the text; piece n is in slot
    // n % slots.size(). Pieces before `written` are written, those from
    // `taken` on wait to be marked, those up to `read` are read.
    std::mutex mutex;
    std::condition_variable work;     // a worker waits here for a piece or the end
    std::condition_variable marked;   // the calling thread waits here for a marked piece
    std::size_t read = 0;
    std::size_t taken = 0;
    std::size_t written = 0;
    bool all_read = false;       // no more pieces will come
    bool stop = false;           // a failure ended the run: no more pieces are taken
    bool handing = false;        // a thread is handing pieces to the sink
    int write_error = 0;         // the sink's, which ends the run
    unsigned idle_workers = 0;   // waiting on `work`
    bool caller_waiting = false; // on `marked`
};

// The next piece to hand on is marked, and no thread is handing pieces on.
bool ready_to_hand_on(const Shared& shared)
{
    return !shared.handing && shared.written < shared.read &&
           shared.slots[shared.written % shared.slots.size()].done;
}

// Hands the marked pieces that are next in order to the sink, unless
// another thread is doing so; called, and returns, with the lock held. The
// thread that does it goes on as long as the next piece is marked, so no
// marked piece waits while none is handing pieces on.
void hand_on(Shared* shared, std::unique_lock<std::mutex>& lock)
{
    if (shared->handing) return;
    shared->handing = true;
    while (!shared->stop && shared->written < shared->read) {
        Slot* next = &shared->slots[shared->written % shared->slots.size()];
        if (!next->done) break;
        lock.unlock();
        const int error = shared->out->put(shared->out->context, next->text, next->marks, 0, next->count);
        lock.lock();
        ++shared->written;
        if (error != 0) {
            shared->write_error = error;
            shared->stop = true;
        }
        // A place in the ring is free to read into.
        if (shared->caller_waiting) shared->marked.notify_one();
    }
    shared->handing = false;
    if (shared->caller_waiting) shared->marked.notify_one();
}

// What only the calling thread uses to read the text.
struct Reader {
    ByteSource* in;
    unsigned char carry[WALK_LIMIT];  // the start of the next piece
    std::size_t carried = 0;
    bool next_in_long_run = false;
    bool final = false;  // the whole text is read
    int error = 0;
    std::size_t bytes = 0;  // bytes of text in the pieces read
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

// Reads the next piece into `slot`. False on a read error (in reader->error).
bool read_piece(Reader* reader, const Shared* shared, Slot* slot)
{
    unsigned char* text = slot->text;
    std::memcpy(text, reader->carry, reader->carried);
    const std::size_t wanted = shared->capacity - reader->carried;
    const std::size_t got = byte_source_read(reader->in, text + reader->carried, wanted);
    std::size_t filled = reader->carried + got;
    if (got < wanted) {
        reader->final = true;
        if (reader->in->error != 0) {
            reader->error = reader->in->error;
            return false;
        }
    }
    // The text ends at its first NUL byte.
    const void* nul = std::memchr(text + reader->carried, 0, got);
    if (nul != nullptr) {
        filled = static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - text);
        reader->final = true;
    }
    slot->in_long_run = reader->next_in_long_run;
    slot->count = reader->final || filled == 0
                      ? filled
                      : cut_piece(shared->marker->letter, text, filled, &reader->next_in_long_run);
    reader->carried = filled - slot->count;
    std::memcpy(reader->carry, text + slot->count, reader->carried);
    std::memset(text + slot->count, 0, COPY_SLACK);
    slot->done = false;
    reader->bytes += slot->count;
    return true;
}

// Finds the marks of the slot's piece.
void mark_piece(Worker* worker, Slot* slot)
{
    // Each piece is fed as a final block, which would size the word cache for
    // that piece alone: a text of many pieces needs the whole cache.
    if (!word_cache_made(worker->text.cache.words) && !slot->whole) {
        word_cache_create(worker->text.cache.words, MARK_CACHE_SET_BITS);
    }
    worker->text.marks = slot->marks;
    worker->text.in_long_run = slot->in_long_run;
    if (slot->count != 0) text_marker_feed(&worker->text, slot->text, slot->count, true);
}

// Makes `worker->fast` mark as the calling thread's marker does, with a
// matcher of its own. Byte classes are numbered alike for the same
// automaton, but only the mapping from one numbering to the other is relied on.
bool make_own_matcher(Worker* worker, const FastMarker* original)
{
    worker->compiled = compile_same(original->automaton);
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

// A worker: marks the oldest piece not taken until none will come.
void work(Shared* shared, Worker* worker)
{
    // A worker without a matcher takes no pieces; the others mark them all.
    if (shared->one_matcher) {
        worker->fast = *shared->marker;
    } else if (!make_own_matcher(worker, shared->marker)) {
        return;
    }
    std::unique_lock<std::mutex> lock(shared->mutex);
    for (;;) {
        if (shared->stop) return;
        if (shared->taken < shared->read) {
            Slot* slot = &shared->slots[shared->taken++ % shared->slots.size()];
            lock.unlock();
            mark_piece(worker, slot);
            lock.lock();
            slot->done = true;
            if (shared->caller_waiting) shared->marked.notify_one();
            hand_on(shared, lock);
            continue;
        }
        // The calling thread would rather read on than hand on what it marked.
        if (ready_to_hand_on(*shared)) {
            hand_on(shared, lock);
            continue;
        }
        if (shared->all_read) return;
        ++shared->idle_workers;
        shared->work.wait(lock);
        --shared->idle_workers;
    }
}

void worker_create(Worker* worker, const FastMarker* fast, std::size_t capacity)
{
    worker->compiled = nullptr;
    // The marks are pointed at a slot's for each piece.
    text_marker_create(&worker->text, fast, capacity);
    worker->own_marks = worker->text.marks;
}

void worker_destroy(Worker* worker)
{
    worker->text.marks = worker->own_marks;
    text_marker_destroy(&worker->text);
    if (worker->compiled != nullptr) compiled_automaton_destroy(worker->compiled);
}

// Starts the workers, with the calling thread's word cache and, when it can
// be shared, matcher, shared from now on. Returns how many run; too few still
// mark the whole text, and none leave the calling thread to go on alone.
std::size_t start_workers(Shared* shared, std::vector<Worker>* workers, std::vector<std::thread>* threads)
{
    shared->one_matcher = compiled_share(shared->marker->automaton);
    WordCache* words = (*workers)[0].text.cache.words;
    if (!word_cache_made(words)) word_cache_create(words, MARK_CACHE_SET_BITS);
    word_cache_share(words);
    for (std::size_t k = 1; k < workers->size(); ++k) {
        Worker* worker = &(*workers)[k];
        // The calling thread's cache, shared; the worker's own marker, made
        // once it runs, is the one it walks with.
        worker->text.cache.words = words;
        try {
            threads->emplace_back(work, shared, worker);
        } catch (const std::system_error&) {
            break;
        }
    }
    return threads->size();
}

}  // namespace

StreamEnd run_text_parallel(const FastMarker* marker, ByteSource* in, const MarkSink* out, int* error,
                            const ParallelOptions& options)
{
    ZARNET_EXPECT(text_chunk_capacity(options.piece) > static_cast<std::size_t>(WALK_LIMIT));
    Shared shared;
    shared.marker = marker;
    shared.out = out;
    shared.one_matcher = false;
    shared.capacity = text_chunk_capacity(options.piece);
    const std::size_t ring = options.workers == 0 ? 1 : PIECES_PER_THREAD * (options.workers + 1);
    shared.slots.resize(ring);
    // The slots' bytes in one block, on large pages where the system has them.
    const std::size_t text_bytes = (shared.capacity + COPY_SLACK + 63) / 64 * 64;
    const std::size_t marks_bytes = (text_marker_mark_words(shared.capacity) * sizeof(std::uint64_t) + 63) / 64 * 64;
    unsigned char* block = static_cast<unsigned char*>(must_alloc_large(ring * (text_bytes + marks_bytes)));
    for (std::size_t k = 0; k < ring; ++k) {
        shared.slots[k].text = block + k * (text_bytes + marks_bytes);
        shared.slots[k].marks = reinterpret_cast<std::uint64_t*>(shared.slots[k].text + text_bytes);
    }
    Reader reader;
    reader.in = in;

    // Workers keep their place: threads hold pointers to them. The first
    // is this thread, with the caller's matcher; the others get theirs once
    // they run.
    std::vector<Worker> workers(options.workers + 1);
    for (std::size_t k = 0; k < workers.size(); ++k) {
        worker_create(&workers[k], k == 0 ? marker : &workers[k].fast, shared.capacity);
    }
    std::vector<std::thread> threads;
    bool started = options.workers == 0;
    // Until the workers start, one piece at a time.
    std::size_t ahead = 1;

    std::unique_lock<std::mutex> lock(shared.mutex);
    for (;;) {
        if (shared.stop) break;
        if (!shared.all_read && shared.read - shared.written < ahead) {
            Slot* slot = &shared.slots[shared.read % ring];
            lock.unlock();
            const bool got = read_piece(&reader, &shared, slot);
            lock.lock();
            if (!got) break;
            slot->whole = shared.read == 0 && reader.final;
            ++shared.read;
            shared.all_read = reader.final;
            if (shared.all_read) {
                shared.work.notify_all();
            } else if (shared.idle_workers != 0) {
                shared.work.notify_one();
            }
            if (!started && !reader.final && reader.bytes >= options.alone_bytes) {
                started = true;
                lock.unlock();
                if (start_workers(&shared, &workers, &threads) != 0) ahead = ring;
                lock.lock();
            }
            continue;
        }
        if (shared.taken < shared.read) {
            Slot* slot = &shared.slots[shared.taken++ % ring];
            lock.unlock();
            mark_piece(&workers[0], slot);
            lock.lock();
            slot->done = true;
            if (shared.idle_workers != 0) shared.work.notify_one();
            continue;
        }
        if (ready_to_hand_on(shared)) {
            hand_on(&shared, lock);
            continue;
        }
        if (shared.all_read && shared.written == shared.read) break;
        shared.caller_waiting = true;
        shared.marked.wait(lock);
        shared.caller_waiting = false;
    }
    // After a failure, pieces being marked are finished but none is written.
    shared.stop = true;
    shared.work.notify_all();
    lock.unlock();
    for (std::thread& thread : threads) thread.join();

    for (Worker& worker : workers) worker_destroy(&worker);
    mem_release(block);
    if (reader.error != 0) {
        *error = reader.error;
        return StreamEnd::read_failed;
    }
    if (shared.write_error != 0) {
        *error = shared.write_error;
        return StreamEnd::write_failed;
    }
    return StreamEnd::complete;
}
