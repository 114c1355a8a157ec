#include "utf8/text_reader.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>

#include <utf8proc.h>

#include "engine/copy_slack.h"
#include "platform/features.h"

#if ZARNET_SSE2
#include <emmintrin.h>
#endif
#if ZARNET_AVX512_PATHS
#include <immintrin.h>
#endif

#include "platform/memory.h"
#include "utf8/utf8_decode.h"

namespace {

// Bytes of text read from the input at a time.
constexpr std::size_t RAW_BYTES = std::size_t{1} << 16;

// Code points joined into one stretch at most: a letter and the marks on it.
constexpr int CLUSTER_MAX = 32;

// Room the matching form of one stretch may take, and the text that must be
// at hand to see a whole stretch.
constexpr std::size_t STRETCH_ROOM = 4 * CLUSTER_MAX * 3;
constexpr std::size_t LOOK_AHEAD = 4 * CLUSTER_MAX + 4;

// The patch bytes held before their queue needs to grow.
constexpr std::size_t QUEUE_BYTES = std::size_t{1} << 16;

// The matching form made at a time.
constexpr std::size_t FORM_BYTES = RAW_BYTES + STRETCH_ROOM;

// A byte of the matching form that is no letter: the bytes of a character
// that is no letter, and a NUL, which would end the engine's text.
constexpr unsigned char NO_LETTER = 0x01;

#if ZARNET_AVX512_PATHS
// ascii_copy's vector loop, 64 bytes at a time from *n on; true where the
// run ends, with *n its length.
__attribute__((target("avx512f,avx512bw,bmi"))) bool ascii_copy_64(const unsigned char* from, unsigned char* to,
                                                               std::size_t* n, std::size_t limit)
{
    for (std::size_t at = *n; at + 64 <= limit; at += 64) {
        const __m512i chunk = _mm512_loadu_si512(from + at);
        _mm512_storeu_si512(to + at, chunk);
        const __mmask64 stop = _mm512_movepi8_mask(chunk) | ~_mm512_test_epi8_mask(chunk, chunk);
        *n = at;
        if (stop != 0) {
            *n = at + static_cast<std::size_t>(_tzcnt_u64(stop));
            return true;
        }
        *n = at + 64;
    }
    return false;
}
#endif

// Copies the run of ASCII bytes other than NUL at `from` (at least one:
// from[0] is one), at most `limit` bytes, to `to`, and returns its length
// (`to` may take more of the `limit` bytes).
std::size_t ascii_copy(const unsigned char* from, unsigned char* to, std::size_t limit)
{
    to[0] = from[0];
    std::size_t n = 1;
#if ZARNET_AVX512_PATHS
    if (cpu_has_avx512_vbmi2()) {
        if (ascii_copy_64(from, to, &n, limit)) return n;
    }
#endif
#if ZARNET_SSE2
    while (n + 16 <= limit) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from + n));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to + n), chunk);
        const int stop = _mm_movemask_epi8(_mm_or_si128(chunk, _mm_cmpeq_epi8(chunk, _mm_setzero_si128())));
        if (stop != 0) return n + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(stop)));
        n += 16;
    }
#endif
    while (n < limit && from[n] < 0x80 && from[n] != 0) {
        to[n] = from[n];
        ++n;
    }
    return n;
}

#if ZARNET_AVX512_PATHS
// Where narrow_blocks stopped.
struct BlocksEnd {
    std::size_t at;        // in the text
    std::size_t out;       // in the form
    std::size_t last_at;   // where the last character taken began, in the text
};

// Turns the text at raw[at ..] into the narrow form at into[out ..], 64
// bytes of text at a time, while it is ASCII (no NUL) and letters in the
// set's window (letters.h), of LENGTH bytes each: each of those becomes its
// byte, the others of the letter are left out, compressed with VBMI2. Stops
// before `at_end` (the text is read LENGTH - 1 bytes past the block), and
// while the form has 64 bytes of room before `out_end`.
template <int LENGTH>
__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,bmi,bmi2,lzcnt,popcnt"))) BlocksEnd narrow_blocks(
    const Utf8Letters* letters, const unsigned char* raw, std::size_t at, std::size_t at_end, unsigned char* into,
    std::size_t out, std::size_t out_end)
{
    const __m512i low_table = _mm512_loadu_si512(letters->window_bytes);
    const __m512i high_table = _mm512_loadu_si512(letters->window_bytes + 64);
    // The byte that tells the window's two halves apart (the first, or the
    // second of three), and the first of three.
    const std::uint32_t base = letters->window_base;
    const __m512i half = _mm512_set1_epi8(
        static_cast<char>(LENGTH == 2 ? 0xC0 | base >> 6 : 0x80 | (base >> 6 & 0x3F)));
    const __m512i lead = _mm512_set1_epi8(static_cast<char>(0xE0 | base >> 12));
    const __m512i top_two = _mm512_set1_epi8(static_cast<char>(0xC0));
    const __m512i continuation = _mm512_set1_epi8(static_cast<char>(0x80));
    BlocksEnd end{at, out, SIZE_MAX};
    // The block starts with the last bytes of a letter taken before it.
    std::uint64_t carried = 0;
    while (at + 64 + LENGTH - 1 <= at_end && out + 64 <= out_end) {
        const __m512i text = _mm512_loadu_si512(raw + at);
        const __m512i next = _mm512_loadu_si512(raw + at + 1);
        const __mmask64 ascii = ~_mm512_movepi8_mask(text) & _mm512_test_epi8_mask(text, text);
        // Where a letter of the window starts: its place there is 0 or 1
        // (the half), times 64, plus its last byte's low six bits.
        __mmask64 first;
        __m512i index;
        if constexpr (LENGTH == 2) {
            const __m512i offset = _mm512_sub_epi8(text, half);
            first = _mm512_cmplt_epu8_mask(offset, _mm512_set1_epi8(2)) &
                    _mm512_cmpeq_epi8_mask(_mm512_and_si512(next, top_two), continuation);
            index = _mm512_or_si512(_mm512_and_si512(_mm512_slli_epi16(offset, 6), _mm512_set1_epi8(0x40)),
                                    _mm512_and_si512(next, _mm512_set1_epi8(0x3F)));
        } else {
            const __m512i after = _mm512_loadu_si512(raw + at + 2);
            const __m512i offset = _mm512_sub_epi8(next, half);
            first = _mm512_cmpeq_epi8_mask(text, lead) & _mm512_cmplt_epu8_mask(offset, _mm512_set1_epi8(2)) &
                    _mm512_cmpeq_epi8_mask(_mm512_and_si512(after, top_two), continuation);
            index = _mm512_or_si512(_mm512_and_si512(_mm512_slli_epi16(offset, 6), _mm512_set1_epi8(0x40)),
                                    _mm512_and_si512(after, _mm512_set1_epi8(0x3F)));
        }
        const __m512i bytes = _mm512_permutex2var_epi8(low_table, index, high_table);
        first &= _mm512_test_epi8_mask(bytes, bytes);
        __mmask64 taken = first << 1 | carried;
        if constexpr (LENGTH == 3) taken |= first << 2;
        const __mmask64 refused = ~(ascii | first | taken);
        const __m512i form = _mm512_mask_blend_epi8(first, text, bytes);
        const __mmask64 starts = ascii | first;
        if (refused != 0) {
            // Up to the first character they do not take.
            const auto count = static_cast<unsigned>(_tzcnt_u64(refused));
            carried = 0;
            if (count == 0) break;
            const __mmask64 kept = _bzhi_u64(~taken, count);
            _mm512_storeu_si512(into + out, _mm512_maskz_compress_epi8(kept, form));
            const __mmask64 started = _bzhi_u64(starts, count);
            if (started != 0) end.last_at = at + 63 - _lzcnt_u64(started);
            at += count;
            out += static_cast<std::size_t>(_mm_popcnt_u64(kept));
            break;
        }
        // The whole block. A letter that starts in it is taken whole, its
        // last bytes those the next block starts with; so the next block's
        // place does not wait for the masks.
        const __mmask64 kept = ~taken;
        _mm512_storeu_si512(into + out, _mm512_maskz_compress_epi8(kept, form));
        carried = first >> 63;
        if constexpr (LENGTH == 3) carried = (first >> 62 & 1) | (first >> 63) | (first >> 63) << 1;
        if (starts != 0) end.last_at = at + 63 - _lzcnt_u64(starts);
        at += 64;
        out += static_cast<std::size_t>(_mm_popcnt_u64(kept));
    }
    // The last bytes of the last letter taken.
    at += static_cast<std::size_t>(std::popcount(carried));
    end.at = at;
    end.out = out;
    return end;
}
#endif

#if ZARNET_AVX512_PATHS
// count_line_ends' vector loop: the line ends from *at on, 64 bytes at a time
// while whole vectors are left, *at moved past them.
__attribute__((target("avx512f,avx512bw,popcnt"))) std::uint64_t line_ends_64(const unsigned char* bytes,
                                                                            std::size_t* at, std::size_t count)
{
    const __m512i line_end = _mm512_set1_epi8('\n');
    std::uint64_t lines = 0;
    std::size_t n = *at;
    for (; n + 64 <= count; n += 64) {
        lines += static_cast<std::uint64_t>(
            _mm_popcnt_u64(_mm512_cmpeq_epi8_mask(_mm512_loadu_si512(bytes + n), line_end)));
    }
    *at = n;
    return lines;
}

// ascii_length's vector loop, 64 bytes at a time from *n on; true where the
// run ends, with *n its length.
__attribute__((target("avx512f,avx512bw,bmi"))) bool ascii_length_64(const unsigned char* bytes, std::size_t* n,
                                                                   std::size_t count)
{
    for (std::size_t at = *n; at + 64 <= count; at += 64) {
        const __m512i chunk = _mm512_loadu_si512(bytes + at);
        const __mmask64 stop = _mm512_movepi8_mask(chunk) | _mm512_testn_epi8_mask(chunk, chunk);
        if (stop != 0) {
            *n = at + static_cast<std::size_t>(_tzcnt_u64(stop));
            return true;
        }
        *n = at + 64;
    }
    return false;
}
#endif

// The line ends in bytes[0 .. count).
std::uint64_t count_line_ends(const unsigned char* bytes, std::size_t count)
{
    std::uint64_t lines = 0;
    std::size_t at = 0;
#if ZARNET_AVX512_PATHS
    if (cpu_has_avx512_vbmi2()) lines += line_ends_64(bytes, &at, count);
#endif
#if ZARNET_SSE2
    // Each byte of a sum counts up to 255 vectors, then the sums are added up.
    const __m128i line_end = _mm_set1_epi8('\n');
    while (at + 16 <= count) {
        const std::size_t stop = count - at < 16 * 255 ? count : at + 16 * 255;
        __m128i sums = _mm_setzero_si128();
        for (; at + 16 <= stop; at += 16) {
            const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
            sums = _mm_sub_epi8(sums, _mm_cmpeq_epi8(chunk, line_end));
        }
        const __m128i total = _mm_sad_epu8(sums, _mm_setzero_si128());
        lines += static_cast<std::uint64_t>(_mm_cvtsi128_si32(total)) +
                 static_cast<std::uint64_t>(_mm_extract_epi16(total, 4));
    }
#endif
    for (; at < count; ++at) lines += bytes[at] == '\n' ? 1 : 0;
    return lines;
}

std::uint32_t info_of(Utf8Reader* reader, std::uint32_t cp)
{
    if (cp >= 0x10000) return utf8_char_info(reader->letters, cp);
    std::uint32_t& entry = reader->info[cp];
    if (entry == 0) entry = utf8_char_info(reader->letters, cp);
    return entry;
}

// The narrow byte of `cp`, a character of a narrow form that is no letter
// and whose `info` the reader keeps: the one it was given, or a new one; 0
// when none is left.
unsigned char other_byte(Utf8Reader* reader, std::uint32_t cp)
{
    std::uint32_t& entry = reader->info[cp];
    if ((entry & CHAR_OWN) != 0) return static_cast<unsigned char>(entry & CHAR_FORM);
    if (reader->next_byte > 0xFF) return 0;
    const auto byte = static_cast<unsigned char>(reader->next_byte++);
    NarrowText* table = &reader->narrow_text;
    unsigned char text[4] = {};
    table->length[byte] = static_cast<unsigned char>(utf8_encode(cp, text));
    table->bytes[byte] = static_cast<std::uint32_t>(text[0]) | static_cast<std::uint32_t>(text[1]) << 8 |
                         static_cast<std::uint32_t>(text[2]) << 16;
    table->first[byte - 0x80] = text[0];
    table->second[byte - 0x80] = text[1];
    table->third[byte - 0x80] = text[2];
    entry |= CHAR_OWN | byte;
    return byte;
}

void queue_put(ByteQueue* queue, const unsigned char* bytes, std::size_t count)
{
    if (queue->tail + count > queue->capacity) {
        const std::size_t held = queue->tail - queue->head;
        if (held + count > queue->capacity) {
            std::size_t capacity = 2 * queue->capacity;
            while (held + count > capacity) capacity *= 2;
            auto* grown = static_cast<unsigned char*>(must_alloc(capacity + QUEUE_SLACK));
            std::memcpy(grown, queue->bytes + queue->head, held);
            mem_release(queue->bytes);
            queue->bytes = grown;
            queue->capacity = capacity;
        } else {
            std::memmove(queue->bytes, queue->bytes + queue->head, held);
        }
        queue->head = 0;
        queue->tail = held;
    }
    std::memcpy(queue->bytes + queue->tail, bytes, count);
    queue->tail += count;
}

// Notes that the text's bytes at form place `at` are not the form's. Patches
// of the same length that follow each other become one.
void add_patch(Utf8Reader* reader, std::uint64_t at, std::size_t form_length, const unsigned char* text,
               std::size_t text_length)
{
    queue_put(&reader->made.bytes, text, text_length);
    if (form_length == text_length && !reader->made.patches.empty()) {
        Patch& last = reader->made.patches.back();
        if (last.form_length == last.text_length && last.at + last.form_length == at) {
            last.form_length += static_cast<std::uint32_t>(form_length);
            last.text_length += static_cast<std::uint32_t>(text_length);
            return;
        }
    }
    // Filled in where it stands: a whole Patch made first and copied would
    // be read back in one piece before its parts are written.
    Patch& patch = reader->made.patches.emplace_back();
    patch.at = at;
    patch.form_length = static_cast<std::uint32_t>(form_length);
    patch.text_length = static_cast<std::uint32_t>(text_length);
}

// Takes back the patches from form place `at` on: the characters there are
// made again.
void retract_patches(Utf8Reader* reader, std::uint64_t at)
{
    while (!reader->made.patches.empty()) {
        Patch& last = reader->made.patches.back();
        if (last.at + last.form_length <= at) return;
        if (last.at >= at) {
            reader->made.bytes.tail -= last.text_length;
            reader->made.patches.pop_back();
            continue;
        }
        // Only patches of one length join, so the cut is the same in both.
        const std::uint32_t cut = static_cast<std::uint32_t>(last.at + last.form_length - at);
        last.form_length -= cut;
        last.text_length -= cut;
        reader->made.bytes.tail -= cut;
        return;
    }
}

// Reads more text, at most `most` bytes, keeping what is not yet used. False
// at its end.
bool refill(Utf8Reader* reader, std::size_t most)
{
    if (reader->ended) return false;
    const std::size_t kept = reader->raw_end - reader->raw_start;
    std::memmove(reader->raw, reader->raw + reader->raw_start, kept);
    reader->raw_offset += reader->raw_start;
    reader->raw_start = 0;
    reader->raw_end = kept;
    const std::size_t want = std::min(RAW_BYTES - kept, most);
    const std::size_t got = byte_source_read(reader->in, reader->raw + kept, want);
    reader->raw_end += got;
    if (got < want) reader->ended = true;
    return got > 0;
}

// The matching form of the stretch text[0 .. length): the code points put
// in NFC, each letter in its form, each other character as NO_LETTER bytes.
// Returns the length written to `out`.
std::size_t stretch_form(Utf8Reader* reader, const unsigned char* text, std::size_t length, unsigned char* out)
{
    utf8proc_int32_t points[4 * CLUSTER_MAX];
    utf8proc_ssize_t n = utf8proc_decompose(text, static_cast<utf8proc_ssize_t>(length), points,
                                            4 * CLUSTER_MAX, UTF8PROC_DECOMPOSE);
    std::size_t written = 0;
    if (n < 0 || n > 4 * CLUSTER_MAX) {
        std::memset(out, NO_LETTER, length);
        return length;
    }
    n = utf8proc_normalize_utf32(points, n, UTF8PROC_COMPOSE);
    for (utf8proc_ssize_t k = 0; k < n; ++k) {
        const std::uint32_t cp = static_cast<std::uint32_t>(points[k]);
        const std::uint32_t info = info_of(reader, cp);
        if ((info & CHAR_LETTER) != 0 && reader->letters->narrow) {
            out[written++] = static_cast<unsigned char>(info & CHAR_FORM);
        } else if ((info & CHAR_LETTER) != 0) {
            written += static_cast<std::size_t>(utf8_encode(info & CHAR_FORM, out + written));
        } else {
            const int bytes = utf8_encoded_length(cp);
            std::memset(out + written, NO_LETTER, static_cast<std::size_t>(bytes));
            written += static_cast<std::size_t>(bytes);
        }
    }
    return written;
}

// Turns text from raw[raw_start ..] into the matching form in `into`, at most
// `room` bytes; stops where the text at hand may not show a whole stretch
// (unless the input has ended), or at bytes that are not UTF-8. Returns the
// length written; the text used is put in the queue.
// NARROW: the set's narrow form, a byte for each letter.
template <bool NARROW>
std::size_t convert(Utf8Reader* reader, unsigned char* into, std::size_t room)
{
    const unsigned char* raw = reader->raw;
    std::size_t at = reader->raw_start;
    const std::size_t end = reader->raw_end;
    // Stretches are taken while a whole one is surely at hand.
    const std::size_t safe_end = reader->ended ? end : (end > LOOK_AHEAD ? end - LOOK_AHEAD : 0);
    std::size_t out = 0;
    // Where the last character began, in the text and in the form, while it
    // can still be joined with marks that follow it.
    std::size_t last_at = SIZE_MAX;
    std::size_t last_out = 0;
#if ZARNET_AVX512_PATHS
    const int window = reader->letters->window_length;
    const bool blocks = NARROW && window != 0 && cpu_has_avx512_vbmi2();
#else
    constexpr bool blocks = false;
#endif
    while (at < safe_end && out + STRETCH_ROOM <= room) {
#if ZARNET_AVX512_PATHS
        if (blocks) {
            // As much as the blocks take; then a character the usual way.
            const BlocksEnd taken =
                window == 2 ? narrow_blocks<2>(reader->letters, raw, at, safe_end, into, out, room - STRETCH_ROOM)
                            : narrow_blocks<3>(reader->letters, raw, at, safe_end, into, out, room - STRETCH_ROOM);
            if (taken.at != at) {
                at = taken.at;
                out = taken.out;
                last_at = taken.last_at;
                last_out = out - 1;
                if (at >= safe_end || out + STRETCH_ROOM > room) break;
            }
        }
#endif
        const unsigned char lead = raw[at];
        if (lead < 0x80) {
            // A run of ASCII goes as it is (the engine folds its capitals);
            // a NUL would end the engine's text.
            if (lead == 0) {
                into[out] = NO_LETTER;
                add_patch(reader, reader->produced + out, 1, raw + at, 1);
                last_at = at++;
                last_out = out++;
                continue;
            }
            const std::size_t limit = std::min(safe_end - at, room - STRETCH_ROOM - out);
            const std::size_t n = ascii_copy(raw + at, into + out, limit);
            at += n;
            out += n;
            last_at = at - 1;
            last_out = out - 1;
            continue;
        }
        if (lead >= 0xC2 && lead < 0xE0) {
            // Characters of two bytes one after another (the letters of
            // Latin with diacritics, Greek, Cyrillic ...), as long as they
            // keep their length.
            const std::size_t before = at;
            while (at + 1 < safe_end && out + STRETCH_ROOM <= room && !(blocks && at != before)) {
                const unsigned char first = raw[at];
                const unsigned char second = raw[at + 1];
                if (first < 0xC2 || first >= 0xE0 || (second & 0xC0) != 0x80) break;
                const std::uint32_t point = static_cast<std::uint32_t>(first & 0x1F) << 6 | (second & 0x3F);
                const std::uint32_t point_info = info_of(reader, point);
                if ((point_info & CHAR_CHANGES) != 0 || point == 0xAD) break;
                const std::uint32_t form = point_info & CHAR_FORM;
                last_at = at;
                last_out = out;
                if (NARROW && (point_info & CHAR_LETTER) == 0) {
                    if (const unsigned char byte = other_byte(reader, point); byte != 0) {
                        into[out++] = byte;
                        at += 2;
                        continue;
                    }
                }
                if ((point_info & CHAR_LETTER) == 0) {
                    into[out] = NO_LETTER;
                    into[out + 1] = NO_LETTER;
                    add_patch(reader, reader->produced + out, 2, raw + at, 2);
                    out += 2;
                } else if constexpr (NARROW) {
                    into[out] = static_cast<unsigned char>(form);
                    if ((point_info & CHAR_OWN) == 0) add_patch(reader, reader->produced + out, 1, raw + at, 2);
                    out += 1;
                } else {
                    into[out] = static_cast<unsigned char>(0xC0 | form >> 6);
                    into[out + 1] = static_cast<unsigned char>(0x80 | (form & 0x3F));
                    if (form != point) add_patch(reader, reader->produced + out, 2, raw + at, 2);
                    out += 2;
                }
                at += 2;
            }
            if (at != before) continue;
        }
        std::uint32_t cp = 0;
        const int length = utf8_decode(raw + at, end - at, &cp);
        if (length <= 0) {
            if (length < 0 && !reader->ended) break;  // cut off: more text is coming
            reader->invalid = true;
            reader->invalid_offset = reader->raw_offset + at;
            reader->invalid_line = reader->lines + 1 + count_line_ends(raw + reader->raw_start, at - reader->raw_start);
            break;
        }
        const std::uint32_t info = info_of(reader, cp);
        if ((info & CHAR_CHANGES) == 0) {
            std::size_t form_length = static_cast<std::size_t>(length);
            if (NARROW && (info & CHAR_LETTER) != 0) {
                // One byte, which stands for the letter unless it is not its own.
                into[out] = static_cast<unsigned char>(info & CHAR_FORM);
                form_length = 1;
                if ((info & CHAR_OWN) == 0) {
                    add_patch(reader, reader->produced + out, 1, raw + at, static_cast<std::size_t>(length));
                }
            } else if ((info & CHAR_LETTER) != 0) {
                // A letter that does not change keeps its length.
                utf8_encode(info & CHAR_FORM, into + out);
                if ((info & CHAR_FORM) != cp) {
                    add_patch(reader, reader->produced + out, form_length, raw + at, form_length);
                }
            } else if (cp == 0xAD) {
                // A soft hyphen stays as it is: it holds the word together.
                if constexpr (NARROW) {
                    into[out] = reader->letters->soft_hyphen;
                    form_length = 1;
                } else {
                    into[out] = raw[at];
                    into[out + 1] = raw[at + 1];
                }
            } else if (const unsigned char byte = NARROW && cp < 0x10000 ? other_byte(reader, cp) : 0; byte != 0) {
                into[out] = byte;
                form_length = 1;
            } else {
                std::memset(into + out, NO_LETTER, form_length);
                add_patch(reader, reader->produced + out, form_length, raw + at, form_length);
            }
            last_at = at;
            last_out = out;
            out += form_length;
            at += static_cast<std::size_t>(length);
            continue;
        }
        // A character that may change in NFC: it is taken with the one before
        // it (when that one is in this call's form) and with the marks after
        // it, as one stretch.
        const bool joins = last_at != SIZE_MAX && (info & CHAR_JOINS) != 0;
        const std::size_t start = joins ? last_at : at;
        const std::size_t form_start = joins ? last_out : out;
        std::size_t stop = at + static_cast<std::size_t>(length);
        for (int joined = 1; joined < CLUSTER_MAX && stop < end; ++joined) {
            std::uint32_t next = 0;
            const int next_length = utf8_decode(raw + stop, end - stop, &next);
            if (next_length <= 0) break;
            if ((info_of(reader, next) & CHAR_JOINS) == 0) break;
            stop += static_cast<std::size_t>(next_length);
        }
        retract_patches(reader, reader->produced + form_start);
        const std::size_t form_length = stretch_form(reader, raw + start, stop - start, into + form_start);
        if (form_length != stop - start || std::memcmp(into + form_start, raw + start, form_length) != 0) {
            add_patch(reader, reader->produced + form_start, form_length, raw + start, stop - start);
        }
        out = form_start + form_length;
        at = stop;
        last_at = SIZE_MAX;  // a stretch is not joined again
    }
    // Marks that come after what is at hand join the last character: it is
    // taken again with them next time.
    if (last_at != SIZE_MAX && at < end) {
        std::uint32_t next = 0;
        if (utf8_decode(raw + at, end - at, &next) > 0 && (info_of(reader, next) & CHAR_JOINS) != 0) {
            at = last_at;
            out = last_out;
            retract_patches(reader, reader->produced + out);
        }
    }
    reader->lines += count_line_ends(raw + reader->raw_start, at - reader->raw_start);
    reader->raw_start = at;
    reader->produced += out;
    return out;
}

// The length of the run of ASCII bytes other than NUL at bytes[0 .. count).
std::size_t ascii_length(const unsigned char* bytes, std::size_t count)
{
    std::size_t n = 0;
#if ZARNET_AVX512_PATHS
    if (cpu_has_avx512_vbmi2() && ascii_length_64(bytes, &n, count)) return n;
#endif
#if ZARNET_SSE2
    for (; n + 16 <= count; n += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + n));
        const int stop = _mm_movemask_epi8(_mm_or_si128(chunk, _mm_cmpeq_epi8(chunk, _mm_setzero_si128())));
        if (stop != 0) return n + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(stop)));
    }
#endif
    while (n < count && bytes[n] < 0x80 && bytes[n] != 0) ++n;
    return n;
}

// While the text is ASCII its form is the text itself, so it is read
// straight into the engine's `into` (at least DIRECT_MIN bytes of room),
// after what is at hand, and handed on as it is; from its first other byte
// on (and the byte before, which a combining mark may join) it goes to the
// reader's own buffer to be converted, and the text is no longer read this
// way. Returns the bytes handed on, or 0 when the text at hand is not all
// ASCII.
constexpr std::size_t DIRECT_MIN = 4096;

std::size_t read_direct(Utf8Reader* reader, unsigned char* into, std::size_t room)
{
    const std::size_t kept = reader->raw_end - reader->raw_start;
    if (kept >= room || ascii_length(reader->raw + reader->raw_start, kept) != kept) {
        reader->direct = false;
        return 0;
    }
    std::memcpy(into, reader->raw + reader->raw_start, kept);
    const std::size_t want = std::min(room, RAW_BYTES) - kept;
    const std::size_t got = byte_source_read(reader->in, into + kept, want);
    if (got < want) reader->ended = true;
    const std::size_t total = kept + got;
    const std::size_t ascii = kept + ascii_length(into + kept, got);
    std::size_t handed = total;
    if (ascii < total) {
        handed = ascii == 0 ? 0 : ascii - 1;
        reader->direct = false;
    } else if (!reader->ended && total > 0) {
        handed = total - 1;
    }
    std::memcpy(reader->raw, into + handed, total - handed);
    reader->raw_offset += reader->raw_start + handed;
    reader->raw_start = 0;
    reader->raw_end = total - handed;
    reader->lines += count_line_ends(into, handed);
    reader->produced += handed;
    return handed;
}

std::size_t read_unpublished(Utf8Reader* reader, unsigned char* into, std::size_t count, int* error)
{
    std::size_t given = 0;
    for (;;) {
        const std::size_t take = std::min(count - given, reader->form_end - reader->form_start);
        std::memcpy(into + given, reader->form + reader->form_start, take);
        given += take;
        reader->form_start += take;
        if (given == count) return given;
        if (reader->invalid) {
            *error = EILSEQ;
            return given;
        }
        // Straight into the engine's buffer while it has room for a whole
        // stretch; the rest by way of the reader's own.
        if (count - given >= STRETCH_ROOM + LOOK_AHEAD) {
            const std::size_t made = reader->letters->narrow ? convert<true>(reader, into + given, count - given)
                                                             : convert<false>(reader, into + given, count - given);
            given += made;
            if (made != 0 || reader->invalid) continue;
        } else {
            reader->form_start = 0;
            reader->form_end = reader->letters->narrow ? convert<true>(reader, reader->form, FORM_BYTES)
                                                       : convert<false>(reader, reader->form, FORM_BYTES);
            if (reader->form_end != 0 || reader->invalid) continue;
        }
        // What is at hand makes no whole stretch: more text is needed.
        if (reader->direct && !reader->ended && count - given >= DIRECT_MIN) {
            const std::size_t before = reader->raw_offset + reader->raw_start;
            given += read_direct(reader, into + given, count - given);
            if (reader->raw_offset + reader->raw_start != before || reader->raw_end > reader->raw_start ||
                reader->ended) {
                continue;
            }
        }
        // While the text goes straight to the engine, only what this call
        // still needs comes this way: the next call reads the rest directly.
        if (!refill(reader, reader->direct ? count - given + LOOK_AHEAD : RAW_BYTES)) {
            if (reader->in->error != 0) {
                *error = reader->in->error;
                return given;
            }
            if (reader->raw_start == reader->raw_end) return given;
        }
    }
}

// Appends the patches of `from` to `to`, leaving `from` empty.
void patch_queue_move(PatchQueue* to, PatchQueue* from)
{
    if (to->patches.empty()) {
        std::swap(to->patches, from->patches);
        std::swap(to->bytes, from->bytes);
    } else {
        to->patches.insert(to->patches.end(), from->patches.begin(), from->patches.end());
        queue_put(&to->bytes, from->bytes.bytes + from->bytes.head, from->bytes.tail - from->bytes.head);
    }
    from->patches.clear();
    from->bytes.head = 0;
    from->bytes.tail = 0;
}

// Hands what the output needs of the form read so far to the output. Every
// patch made is final by now: only those of a conversion still going on are
// ever taken back or joined.
void publish(Utf8Reader* reader)
{
    if (reader->made.patches.empty() && reader->next_byte == reader->published_next_byte) return;
    const std::lock_guard<std::mutex> guard(reader->handoff);
    patch_queue_move(&reader->published, &reader->made);
    if (reader->next_byte != reader->published_next_byte) {
        reader->published_text = reader->narrow_text;
        reader->published_next_byte = reader->next_byte;
    }
}

std::size_t read_form(void* context, unsigned char* into, std::size_t count, int* error)
{
    Utf8Reader* reader = static_cast<Utf8Reader*>(context);
    const std::size_t given = read_unpublished(reader, into, count, error);
    publish(reader);
    return given;
}

}  // namespace

void utf8_reader_create(Utf8Reader* reader, ByteSource* in, const Utf8Letters* letters)
{
    reader->in = in;
    reader->letters = letters;
    // Zeroed by the system, page by page as the text's characters touch it.
    reader->info = static_cast<std::uint32_t*>(must_alloc_zeroed(0x10000, sizeof(std::uint32_t)));
    reader->raw = static_cast<unsigned char*>(must_alloc(RAW_BYTES + QUEUE_SLACK));
    reader->form = static_cast<unsigned char*>(must_alloc(FORM_BYTES));
    reader->form_start = 0;
    reader->form_end = 0;
    reader->raw_start = 0;
    reader->raw_end = 0;
    reader->ended = false;
    reader->raw_offset = 0;
    reader->lines = 0;
    reader->produced = 0;
    patch_queue_create(&reader->made);
    patch_queue_create(&reader->published);
    reader->narrow_text = letters->narrow_text;
    reader->direct = true;
    reader->next_byte = 0x80 + static_cast<unsigned>(letters->narrow_bytes.size());
    reader->published_text = reader->narrow_text;
    reader->published_next_byte = reader->next_byte;
    reader->invalid = false;
    reader->invalid_line = 0;
    reader->invalid_offset = 0;
}

void utf8_reader_destroy(Utf8Reader* reader)
{
    mem_release(reader->info);
    mem_release(reader->raw);
    mem_release(reader->form);
    patch_queue_destroy(&reader->made);
    patch_queue_destroy(&reader->published);
    reader->info = nullptr;
    reader->raw = nullptr;
    reader->form = nullptr;
}

void patch_queue_create(PatchQueue* queue)
{
    queue->patches.clear();
    queue->bytes = ByteQueue{static_cast<unsigned char*>(must_alloc(QUEUE_BYTES + QUEUE_SLACK)), 0, 0, QUEUE_BYTES};
}

void patch_queue_destroy(PatchQueue* queue)
{
    queue->patches.clear();
    mem_release(queue->bytes.bytes);
    queue->bytes.bytes = nullptr;
}

void utf8_reader_take(Utf8Reader* reader, PatchQueue* into, NarrowText* text, unsigned* next_byte)
{
    const std::lock_guard<std::mutex> guard(reader->handoff);
    patch_queue_move(into, &reader->published);
    if (*next_byte != reader->published_next_byte) {
        *text = reader->published_text;
        *next_byte = reader->published_next_byte;
    }
}

ByteSource utf8_reader_source(Utf8Reader* reader)
{
    return ByteSource{read_form, reader, nullptr, 0, 0, 0, false, -1};
}
