#include "engine/stream_pass.h"

#include <bit>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "engine/break_rule.h"
#include "engine/copy_slack.h"
#include "engine/letter_mask.h"
#include "engine/word_cache.h"
#include "platform/features.h"
#include "platform/memory.h"
#include "platform/expect.h"


namespace {

// What the text's slack must hold: a word's key is read whole from its
// start, a block's bytes are read a vector at a time.
static_assert(static_cast<std::size_t>(CACHED_RUN_MAX) <= COPY_SLACK);
static_assert(64 <= COPY_SLACK);

}  // namespace

namespace {

// Position of the first byte after word k of the mask that is not a letter.
ZARNET_NOINLINE std::size_t run_end_past(const std::uint64_t* bits, std::size_t k)
{
    std::uint64_t word;
    do {
        word = ~bits[++k];
    } while (word == 0);
    return 64 * k + static_cast<unsigned>(std::countr_zero(word));
}

// Adds the marks of a run longer than CACHED_RUN_MAX letters.
ZARNET_NOINLINE void add_long_run_marks(TextMarker* pass, const unsigned char* text, std::size_t pos,
                                        std::size_t length)
{
    std::uint64_t bits[RUN_MARK_WORDS];
    run_marks(pass->marker, text + pos, static_cast<std::int64_t>(length), bits);
    for (int w = 0; w < RUN_MARK_WORDS; ++w) mark_bits_add(pass->marks, pos + 64 * static_cast<std::size_t>(w), bits[w]);
}

// The marks of a run of 4 .. SHORT_RUN_MAX letters from the cache, shared
// by several threads or not.
template <bool SHARED>
ZARNET_ALWAYS_INLINE inline std::uint64_t short_marks(const MarkCache* cache, ShortSlot* short_slots,
                                                      unsigned hash_shift, const unsigned char* run,
                                                      std::int64_t length)
{
    if constexpr (SHARED) return mark_cache_short_marks_shared(cache, short_slots, hash_shift, run, length);
    return mark_cache_short_marks_in(cache, short_slots, hash_shift, run, length);
}

// The second half of a longer word's lookup, in a cache shared by several
// threads or not.
template <bool SHARED>
ZARNET_ALWAYS_INLINE inline std::uint64_t long_marks(const MarkCache* cache, const LongLookup& lookup,
                                                     const unsigned char* run, std::int64_t length)
{
    if constexpr (SHARED) return mark_cache_long_finish_shared(cache, lookup, run, length);
    return mark_cache_long_finish(cache, lookup, run, length);
}

// The marks of a run of `length` letters at `pos`, any length: from the
// cache, or, for a run longer than CACHED_RUN_MAX letters, added to the
// block's marks here (0 is returned then).
template <bool SHARED>
ZARNET_NOINLINE std::uint64_t marks_of_run(TextMarker* pass, const unsigned char* text, std::size_t pos,
                                           std::size_t length)
{
    const std::int64_t letters = static_cast<std::int64_t>(length);
    const MarkCache* cache = &pass->cache;
    if (length <= SHORT_RUN_MAX) {
        return short_marks<SHARED>(cache, cache->words->short_slots, mark_cache_short_shift(cache), text + pos, letters);
    }
    if (length <= CACHED_RUN_MAX) {
        if constexpr (SHARED) return mark_cache_marks_shared(cache, text + pos, letters);
        return mark_cache_marks(cache, text + pos, letters);
    }
    add_long_run_marks(pass, text, pos, length);
    return 0;
}

// Finds the runs of MIN_RUN letters or more (four under the usual rule, two
// when a break may leave one letter on each side) that start in
// text[start .. limit) and adds their marks to pass->marks: each from the
// word cache, a run longer than CACHED_RUN_MAX letters from the automaton.
// The loop serves runs that end in the word of the mask where they start,
// and short ones first; the others leave it. SHARED: the cache is shared by
// several threads.
template <bool SHARED, int MIN_RUN>
ZARNET_ALWAYS_INLINE inline void find_marks_in(TextMarker* pass, const unsigned char* text, std::size_t start,
                                               std::size_t limit)
{
    const std::uint64_t* bits = pass->bits;
    std::uint64_t* marks = pass->marks;
    ShortSlot* const short_slots = pass->cache.words->short_slots;
    const unsigned short_shift = mark_cache_short_shift(&pass->cache);
    // Marks of runs that start in one word and go on into the next.
    std::uint64_t carried = 0;
    std::size_t k = start / 64;
    for (; 64 * k < limit; ++k) {
        const std::uint64_t current = bits[k];
        const std::uint64_t following = bits[k + 1];
        const std::uint64_t before = k == 0 ? 0 : bits[k - 1] >> 63;
        std::uint64_t starts = current & ~((current << 1) | before);
        // Only runs of MIN_RUN letters or more can get a mark.
        starts &= current >> 1 | following << 63;
        if constexpr (MIN_RUN == 4) starts &= (current >> 2 | following << 62) & (current >> 3 | following << 61);
        if (k == start / 64) starts &= ~std::uint64_t{0} << (start % 64);
        if (limit - 64 * k < 64) starts &= (std::uint64_t{1} << (limit - 64 * k)) - 1;
        const unsigned char* word_text = text + 64 * k;
        std::uint64_t here = carried;
        std::uint64_t next = 0;
        // The longer words of this word of the mask, their lookups started:
        // at most 7 runs of SHORT_RUN_MAX + 1 letters or more fit in it.
        LongLookup longs[8];
        unsigned long_shifts[8];
        unsigned long_lengths[8];
        unsigned long_count = 0;
        while (starts != 0) {
            const unsigned shift = static_cast<unsigned>(std::countr_zero(starts));
            starts &= starts - 1;
            const std::uint64_t after = ~current & (~std::uint64_t{0} << shift);
            if (after == 0) [[unlikely]] {
                // The run goes on into the next word, and mostly ends there.
                const std::size_t pos = 64 * k + shift;
                const std::uint64_t beyond = ~following;
                const std::size_t length = beyond != 0 ? 64 + static_cast<unsigned>(std::countr_zero(beyond)) - shift
                                                       : run_end_past(bits, k) - pos;
                const std::uint64_t run_bits =
                    length <= SHORT_RUN_MAX ? short_marks<SHARED>(&pass->cache, short_slots, short_shift,
                                                                  word_text + shift, static_cast<std::int64_t>(length))
                                            : marks_of_run<SHARED>(pass, text, pos, length);
                here |= run_bits << shift;
                next |= (run_bits >> 1) >> (63 - shift);
                continue;
            }
            // Its marks stay in this word.
            const std::size_t length = static_cast<unsigned>(std::countr_zero(after)) - shift;
            if (length <= SHORT_RUN_MAX) [[likely]] {
                here |= short_marks<SHARED>(&pass->cache, short_slots, short_shift, word_text + shift,
                                            static_cast<std::int64_t>(length))
                        << shift;
            } else if (length <= CACHED_RUN_MAX) {
                mark_cache_long_start(&pass->cache, word_text + shift, static_cast<std::int64_t>(length),
                                      &longs[long_count]);
                long_shifts[long_count] = shift;
                long_lengths[long_count++] = static_cast<unsigned>(length);
            } else {
                here |= marks_of_run<SHARED>(pass, text, 64 * k + shift, length) << shift;
            }
        }
        for (unsigned i = 0; i < long_count; ++i) {
            const unsigned shift = long_shifts[i];
            here |= long_marks<SHARED>(&pass->cache, longs[i], word_text + shift, long_lengths[i]) << shift;
        }
        marks[k] |= here;
        carried = next;
    }
    marks[k] |= carried;
}

template <bool SHARED, int MIN_RUN>
void find_marks_plain(TextMarker* pass, const unsigned char* text, std::size_t start, std::size_t limit)
{
    find_marks_in<SHARED, MIN_RUN>(pass, text, start, limit);
}

#if ZARNET_X86_64_PATHS
// The same loop with the bit instructions of BMI1 and BMI2: shifts by a
// count in any register, and trailing zeros counted in one step.
template <bool SHARED, int MIN_RUN>
__attribute__((target("bmi,bmi2,popcnt,lzcnt"))) void find_marks_bmi2(TextMarker* pass, const unsigned char* text,
                                                                     std::size_t start, std::size_t limit)
{
    find_marks_in<SHARED, MIN_RUN>(pass, text, start, limit);
}

bool has_bmi2()
{
    static const bool supported = __builtin_cpu_supports("bmi") && __builtin_cpu_supports("bmi2");
    return supported;
}
#endif

template <bool SHARED, int MIN_RUN>
void find_marks_on(TextMarker* pass, const unsigned char* text, std::size_t start, std::size_t limit)
{
#if ZARNET_X86_64_PATHS
    if (has_bmi2()) {
        find_marks_bmi2<SHARED, MIN_RUN>(pass, text, start, limit);
        return;
    }
#endif
    find_marks_plain<SHARED, MIN_RUN>(pass, text, start, limit);
}

// Runs shorter than the marker's rule allows get no marks; the loop looks at
// runs of four letters and more, or of two and more for a looser rule.
template <bool SHARED>
void find_marks_for_rule(TextMarker* pass, const unsigned char* text, std::size_t start, std::size_t limit)
{
    if (pass->marker->min_run >= 4) {
        find_marks_on<SHARED, 4>(pass, text, start, limit);
    } else {
        find_marks_on<SHARED, 2>(pass, text, start, limit);
    }
}

void find_marks(TextMarker* pass, const unsigned char* text, std::size_t start, std::size_t limit)
{
    // Words that miss wait to be walked a few at a time; the last are
    // walked here, before the block is written.
    pass->waiting.text = text;
    pass->waiting.marks = pass->marks;
    pass->waiting.count = 0;
    pass->cache.waiting = &pass->waiting;
    if (pass->cache.words->shared) {
        find_marks_for_rule<true>(pass, text, start, limit);
    } else {
        find_marks_for_rule<false>(pass, text, start, limit);
    }
    mark_cache_walk_waiting(&pass->cache);
}

}  // namespace

std::size_t text_marker_feed(TextMarker* pass, const unsigned char* text, std::size_t count, bool final)
{
    // The text is followed by COPY_SLACK zero bytes.
    for (std::size_t k = 0; k < COPY_SLACK; ++k) ZARNET_EXPECT(text[count + k] == 0);
    // A text that fits in one block gets a cache of its size.
    if (!word_cache_made(pass->cache.words)) {
        word_cache_create(pass->cache.words, final ? mark_cache_set_bits_for(count) : MARK_CACHE_SET_BITS);
    }
    const bool* letter = pass->marker->letter;
    const std::size_t words = (count + 63) / 64;
    std::memset(pass->marks, 0, (words + MARK_WORDS_PAST) * sizeof(std::uint64_t));
    std::size_t start = 0;
    if (pass->in_long_run) {
        // Letters past the marked head of a long run take no marks.
        while (start < count && letter[text[start]]) ++start;
        pass->in_long_run = start == count;
        if (start == count) return count;
    }

    letter_mask_build(letter, text, 64 * words, pass->bits);
    pass->bits[words] = 0;

    // Without `final`, stop before the run that touches the end of the block.
    std::size_t limit = count;
    if (!final && count > 0 && letter[text[count - 1]]) {
        std::size_t last = count;
        while (last > start && letter[text[last - 1]]) --last;
        if (last == start) {
            // The whole rest of the block is one run: it is longer than any
            // walk can see, so its head can be marked now.
            add_long_run_marks(pass, text, start, count - start);
            pass->in_long_run = true;
            return count;
        }
        limit = last;
    }

    find_marks(pass, text, start, limit);
    return limit;
}

void text_marker_create(TextMarker* pass, const FastMarker* marker, std::size_t chunk)
{
    pass->marker = marker;
    // The word cache is made with the first block, sized for the text; the
    // pass refers to its own, and must stay where it is.
    pass->own_words = WORD_CACHE_NONE;
    pass->cache = MarkCache{&pass->own_words, marker, nullptr};
    pass->waiting.count = 0;
    pass->bits = static_cast<std::uint64_t*>(must_alloc((chunk / 64 + 2) * sizeof(std::uint64_t)));
    pass->marks = static_cast<std::uint64_t*>(must_alloc(text_marker_mark_words(chunk) * sizeof(std::uint64_t)));
    pass->in_long_run = false;
}

void text_marker_destroy(TextMarker* pass)
{
    word_cache_destroy(&pass->own_words);
    mem_release(pass->bits);
    mem_release(pass->marks);
    pass->marks = nullptr;
    pass->bits = nullptr;
}

std::size_t text_chunk_capacity(std::size_t chunk)
{
    return chunk < CHUNK_MIN ? CHUNK_MIN : (chunk + 63) / 64 * 64;
}

StreamEnd run_text_stream(const FastMarker* marker, ByteSource* in, const MarkSink* out, int* error,
                          std::size_t chunk)
{
    const std::size_t capacity = text_chunk_capacity(chunk);
    unsigned char* buffer = static_cast<unsigned char*>(must_alloc(capacity + COPY_SLACK));
    TextMarker pass;
    text_marker_create(&pass, marker, capacity);

    int read_error = 0;
    int write_error = 0;
    std::size_t filled = 0;
    for (bool final = false; !final;) {
        const std::size_t got = byte_source_read(in, buffer + filled, capacity - filled);
        if (got < capacity - filled) {
            read_error = in->error;
            final = true;
        }
        // The text ends at its first NUL byte.
        const void* nul = std::memchr(buffer + filled, 0, got);
        filled += got;
        if (nul != nullptr) {
            filled = static_cast<std::size_t>(static_cast<const unsigned char*>(nul) - buffer);
            final = true;
        }
        if (read_error != 0) break;
        std::memset(buffer + filled, 0, COPY_SLACK);
        const std::size_t done = text_marker_feed(&pass, buffer, filled, final);
        write_error = out->put(out->context, buffer, pass.marks, 0, done);
        if (write_error != 0) break;
        std::memmove(buffer, buffer + done, filled - done);
        filled -= done;
    }

    text_marker_destroy(&pass);
    mem_release(buffer);
    if (read_error != 0) {
        *error = read_error;
        return StreamEnd::read_failed;
    }
    if (write_error != 0) {
        *error = write_error;
        return StreamEnd::write_failed;
    }
    return StreamEnd::complete;
}
