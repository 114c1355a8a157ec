#include "utf8/marked_text.h"

#include <array>
#include <bit>
#include <cerrno>
#include <cstring>

#include "engine/copy_slack.h"
#include "platform/features.h"
#include "utf8/letters.h"

#if ZARNET_AVX512_PATHS
#include <immintrin.h>
#endif

namespace {

#if ZARNET_AVX512_PATHS
// Byte k of 16 bytes to the places of a step of spread_narrow: SLOTS places
// each, as many bytes as fit in 64 places, the last two of them the mark's
// bytes (64 and 65: the second table of the permutation); the rest of the
// places: byte 0.
template <int SLOTS>
constexpr std::array<unsigned char, 64> slots_of_each()
{
    std::array<unsigned char, 64> index{};
    for (int k = 0; k < 64 / SLOTS * SLOTS; ++k) {
        const int place = k % SLOTS;
        index[static_cast<std::size_t>(k)] =
            static_cast<unsigned char>(place < SLOTS - 2 ? k / SLOTS : 64 + place - (SLOTS - 2));
    }
    return index;
}

// The places of a step of spread_narrow that take the first byte of each
// byte's text: 0, SLOTS, 2 SLOTS ...
template <int SLOTS>
constexpr std::uint64_t first_places()
{
    std::uint64_t places = 0;
    for (int k = 0; k < 64 / SLOTS; ++k) places |= std::uint64_t{1} << (k * SLOTS);
    return places;
}

// 21 bytes of text at `here` with a mark of two bytes after those whose bit
// is set: each byte in the first of three places, the mark's bytes (in
// `mark_bytes`, as slots_of_each places them) in the other two, and the
// places of the marks there are kept (VBMI2's byte compression). The output
// is written 64 bytes at a time.
__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,bmi,bmi2,popcnt"))) inline unsigned char* two_step(
    const unsigned char* here, std::uint64_t bits, __m512i mark_bytes, unsigned char* out)
{
    alignas(64) static constexpr std::array<unsigned char, 64> EACH = slots_of_each<3>();
    constexpr std::uint64_t TEXT = first_places<3>();
    const std::uint64_t marked = _pdep_u64(bits, TEXT);
    const __m512i spread =
        _mm512_permutex2var_epi8(_mm512_loadu_si512(here), _mm512_load_si512(EACH.data()), mark_bytes);
    _mm512_storeu_si512(out, _mm512_maskz_compress_epi8(TEXT | marked << 1 | marked << 2, spread));
    return out + 21 + 2 * _mm_popcnt_u64(bits);
}

// The two bytes of a mark in places 64 and 65, as the steps take them.
__attribute__((target("avx512f,avx512bw"))) inline __m512i mark_bytes_of(unsigned char first, unsigned char second)
{
    return _mm512_mask_mov_epi8(_mm512_set1_epi8(static_cast<char>(first)), ~__mmask64{0} << 1,
                                _mm512_set1_epi8(static_cast<char>(second)));
}

// A mark of two bytes spread in 21 bytes of text at a time (two_step).
// `source` is the text of form[from] and can be read 64 bytes on.
__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,bmi,bmi2,popcnt"))) unsigned char* spread_two(
    const unsigned char* source, const std::uint64_t* marks, std::size_t from, std::size_t to, unsigned char* out,
    unsigned char first, unsigned char second)
{
    const __m512i mark_bytes = mark_bytes_of(first, second);
    std::size_t at = from;
    while (at < to) {
        const std::size_t count = to - at < 21 ? to - at : 21;
        // A shorter last step writes its places past the end as well, over
        // bytes the output does not keep.
        unsigned char* const end = two_step(source + (at - from), mark_bits_at(marks, at, count), mark_bytes, out);
        out = end - (21 - count);
        at += count;
    }
    return out;
}

// One step of spread_narrow: `count` bytes of the form (at most 64 /
// SLOTS), each given SLOTS places (its text's bytes, SLOTS - 2 of them, and
// the mark's two), of which those it needs are picked by their bits (pdep)
// and packed together (VBMI2's byte compression). `bytes` holds the form
// and `longer[k]` the bytes whose text is longer than k + 1 bytes.
template <int SLOTS>
__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,bmi,bmi2,popcnt"))) inline unsigned char* narrow_step(
    const __m512i* tables, __m128i bytes, const std::uint64_t* longer, std::uint64_t bits, unsigned count,
    __m512i mark_bytes, unsigned char* out)
{
    alignas(64) static constexpr std::array<unsigned char, 64> EACH = slots_of_each<SLOTS>();
    constexpr std::uint64_t TEXT = first_places<SLOTS>();
    const __m512i form = _mm512_permutex2var_epi8(_mm512_zextsi128_si512(bytes), _mm512_load_si512(EACH.data()),
                                                  mark_bytes);
    const std::uint64_t wide = _pdep_u64(longer[0], TEXT);
    __m512i spread = _mm512_mask_mov_epi8(form, wide, _mm512_permutex2var_epi8(tables[0], form, tables[1]));
    spread = _mm512_mask_mov_epi8(spread, TEXT << 1, _mm512_permutex2var_epi8(tables[2], form, tables[3]));
    if constexpr (SLOTS == 5) {
        spread = _mm512_mask_mov_epi8(spread, TEXT << 2, _mm512_permutex2var_epi8(tables[4], form, tables[5]));
    }
    // A byte's first place, spread once and shifted to the others.
    const std::uint64_t marked = _pdep_u64(bits, TEXT);
    std::uint64_t layout =
        _bzhi_u64(TEXT, count * SLOTS) | wide << 1 | marked << (SLOTS - 2) | marked << (SLOTS - 1);
    if constexpr (SLOTS == 5) layout |= _pdep_u64(longer[1], TEXT) << 2;
    _mm512_storeu_si512(out, _mm512_maskz_compress_epi8(layout, spread));
    return out + _mm_popcnt_u64(layout);
}

// A narrow form's text with a mark of two bytes: 21 bytes of ASCII at a
// time (two_step); else 16 bytes of form at a time where
// none stands for more than two bytes of text (four places each), 12 where
// none stands for more than three (five places each), and a byte at a time
// where one does. What each byte of form stands for, and the marks, are
// looked up for 64 bytes at once and used for the steps that fall among
// them. `source` is the form at form[from] and can be read 64 bytes on; the
// output is written 64 bytes at a time.
__attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vbmi2,bmi,bmi2,popcnt"))) unsigned char* spread_narrow(
    const NarrowText* table, const unsigned char* source, const std::uint64_t* marks, std::size_t from,
    std::size_t to, unsigned char* out, unsigned char first, unsigned char second)
{
    const __m512i tables[6] = {
        _mm512_loadu_si512(table->first), _mm512_loadu_si512(table->first + 64),
        _mm512_loadu_si512(table->second), _mm512_loadu_si512(table->second + 64),
        _mm512_loadu_si512(table->third), _mm512_loadu_si512(table->third + 64)};
    const __m512i lengths_low = _mm512_loadu_si512(table->length + 0x80);
    const __m512i lengths_high = _mm512_loadu_si512(table->length + 0xC0);
    const __m512i mark_bytes = mark_bytes_of(first, second);
    // The 64 bytes of form from `window` on: those of more than one, two and
    // three bytes of text, and the marks after them.
    std::size_t window = 0;
    std::uint64_t wide_all = 0;
    std::uint64_t longer_all = 0;
    std::uint64_t longest_all = 0;
    std::uint64_t marks_all = 0;
    bool looked = false;
    std::size_t at = from;
    while (at < to) {
        const unsigned char* here = source + (at - from);
        // A step takes at most 21 bytes of form.
        if (!looked || at + 21 > window + 64) {
            const __m512i all = _mm512_loadu_si512(here);
            const __m512i lengths = _mm512_permutex2var_epi8(lengths_low, all, lengths_high);
            wide_all = _mm512_movepi8_mask(all);
            longer_all = wide_all & _mm512_cmpgt_epu8_mask(lengths, _mm512_set1_epi8(2));
            longest_all = wide_all & _mm512_cmpgt_epu8_mask(lengths, _mm512_set1_epi8(3));
            marks_all = mark_word_at(marks, at);
            window = at;
            looked = true;
        }
        const unsigned offset = static_cast<unsigned>(at - window);
        const std::uint64_t wide = wide_all >> offset;
        const std::uint64_t marked = marks_all >> offset;
        if (to - at >= 21 && (wide & 0x1FFFFF) == 0) {
            out = two_step(here, _bzhi_u64(marked, 21), mark_bytes, out);
            at += 21;
            continue;
        }
        const unsigned count = static_cast<unsigned>(to - at < 16 ? to - at : 16);
        if (_bzhi_u64(longest_all >> offset, count) != 0) {
            // A character of four bytes among them: the first byte alone.
            const unsigned char byte = here[0];
            std::memcpy(out, &table->bytes[byte], 4);
            out += table->length[byte];
            if ((marked & 1) != 0) {
                out[0] = first;
                out[1] = second;
                out += 2;
            }
            ++at;
            continue;
        }
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(here));
        const std::uint64_t longer[2] = {_bzhi_u64(wide, count), _bzhi_u64(longer_all >> offset, count)};
        if (longer[1] == 0) {
            out = narrow_step<4>(tables, bytes, longer, _bzhi_u64(marked, count), count, mark_bytes, out);
            at += count;
        } else {
            const unsigned step = count < 12 ? count : 12;
            const std::uint64_t three[2] = {_bzhi_u64(longer[0], step), _bzhi_u64(longer[1], step)};
            out = narrow_step<5>(tables, bytes, three, _bzhi_u64(marked, step), step, mark_bytes, out);
            at += step;
        }
    }
    return out;
}
#endif

// Room in the writer's block for `count` more bytes, written out when
// needed; false after a failed write, or when the block cannot hold them.
bool make_room(BlockWriter* writer, std::size_t count)
{
    if (writer->capacity - writer->used >= count) return true;
    block_writer_drain(writer);
    if (writer->capacity - writer->used < count) block_writer_flush(writer);
    return writer->error == 0 && writer->capacity - writer->used >= count;
}

bool put_bytes(BlockWriter* writer, const unsigned char* bytes, std::size_t count)
{
    while (count > 0) {
        if (!make_room(writer, 1)) return false;
        const std::size_t room = writer->capacity - writer->used;
        const std::size_t part = count < room ? count : room;
        std::memcpy(writer->bytes + writer->used, bytes, part);
        writer->used += part;
        bytes += part;
        count -= part;
    }
    return true;
}

bool marked(const std::uint64_t* marks, std::size_t at)
{
    return (marks[at / 64] >> (at % 64) & 1) != 0;
}

// The mark bits of form[from .. to) in word `word` of the marks.
std::uint64_t bits_in(const std::uint64_t* marks, std::size_t word, std::size_t from, std::size_t to)
{
    std::uint64_t bits = marks[word];
    if (64 * word < from) bits &= ~std::uint64_t{0} << (from % 64);
    if (to - 64 * word < 64) bits &= (std::uint64_t{1} << (to - 64 * word)) - 1;
    return bits;
}

// Writes the text of form[from .. to), which stands at the same places as
// the form, from `source` (the text of form[from]), with a mark after each
// marked byte. The source can be read 32 bytes past its end.
bool put_marked(Utf8Output* output, const unsigned char* source, const std::uint64_t* marks, std::size_t from,
                std::size_t to)
{
    if (from == to) return true;
    if (output->breaks != nullptr) {
        for (std::size_t word = from / 64; 64 * word < to; ++word) {
            for (std::uint64_t bits = bits_in(marks, word, from, to); bits != 0; bits &= bits - 1) {
                const std::size_t at = 64 * word + static_cast<std::size_t>(std::countr_zero(bits));
                output->breaks->push_back(output->text_at + (at + 1 - from));
            }
        }
        output->text_at += to - from;
        return true;
    }
    const std::size_t mark_length = output->mark.size();
    BlockWriter* writer = output->writer;
    // Room for a mark after every byte, or, where the block cannot hold
    // that, for the marks there are.
    bool room = make_room(writer, (to - from) * (1 + mark_length));
    if (!room) {
        std::size_t count = 0;
        for (std::size_t word = from / 64; 64 * word < to; ++word) {
            count += static_cast<std::size_t>(std::popcount(bits_in(marks, word, from, to)));
        }
        room = make_room(writer, to - from + count * mark_length);
    }
    if (!room) {
        // More than the block holds at once: a mark at a time.
        std::size_t done = from;
        for (std::size_t at = from; at < to; ++at) {
            if (!marked(marks, at)) continue;
            if (!put_bytes(writer, source + (done - from), at + 1 - done) ||
                !put_bytes(writer, reinterpret_cast<const unsigned char*>(output->mark.data()), mark_length)) {
                return false;
            }
            done = at + 1;
        }
        return put_bytes(writer, source + (done - from), to - done);
    }
    // Short copies move 32 bytes whatever they need (the vector path 64),
    // into the slack of the source and of the block.
    static_assert(QUEUE_SLACK >= 64 && COPY_SLACK >= 64);
    unsigned char* target = writer->bytes + writer->used;
#if ZARNET_AVX512_PATHS
    if (mark_length == 2 && cpu_has_avx512_vbmi2()) {
        target = spread_two(source, marks, from, to, target, static_cast<unsigned char>(output->mark[0]),
                            static_cast<unsigned char>(output->mark[1]));
        writer->used = static_cast<std::size_t>(target - writer->bytes);
        return true;
    }
#endif
    const char* mark = output->mark.data();
    const bool short_mark = mark_length <= 8;
    char mark_word[8] = {};
    if (short_mark) std::memcpy(mark_word, mark, mark_length);
    std::size_t done = from;
    for (std::size_t word = from / 64; 64 * word < to; ++word) {
        std::uint64_t bits = bits_in(marks, word, from, to);
        while (bits != 0) {
            const std::size_t at = 64 * word + static_cast<std::size_t>(std::countr_zero(bits));
            bits &= bits - 1;
            const std::size_t n = at + 1 - done;
            copy_up_to_32_more(target, source, n);
            target += n;
            source += n;
            if (short_mark) {
                std::memcpy(target, mark_word, 8);
            } else {
                std::memcpy(target, mark, mark_length);
            }
            target += mark_length;
            done = at + 1;
        }
    }
    std::memcpy(target, source, to - done);
    target += to - done;
    writer->used = static_cast<std::size_t>(target - writer->bytes);
    return true;
}

// Bytes of a narrow form written out at a time, each part with room made
// for the most its text and marks can take.
constexpr std::size_t NARROW_PART = 4096;

// Writes the text that the narrow form's bytes form[0 .. count) stand for.
// The output is written 8 bytes at a time past what it needs.
ZARNET_ALWAYS_INLINE inline unsigned char* put_narrow_text(const NarrowText* table, const unsigned char* form,
                                                           std::size_t count, unsigned char* out)
{
    std::size_t at = 0;
    for (; at + 8 <= count; at += 8) {
        std::uint64_t eight;
        std::memcpy(&eight, form + at, 8);
        if ((eight & 0x8080808080808080ull) == 0) {
            std::memcpy(out, &eight, 8);
            out += 8;
            continue;
        }
        for (std::size_t k = at; k < at + 8; ++k) {
            std::memcpy(out, &table->bytes[form[k]], 4);
            out += table->length[form[k]];
        }
    }
    for (; at < count; ++at) {
        std::memcpy(out, &table->bytes[form[at]], 4);
        out += table->length[form[at]];
    }
    return out;
}

// Writes the text of form[from .. to) in a narrow form, each byte as the
// character it stands for, with a mark after each marked byte.
bool put_narrow(Utf8Output* output, const unsigned char* source, const std::uint64_t* marks, std::size_t from,
                std::size_t to)
{
    const NarrowText* table = &output->narrow_text;
    if (output->breaks != nullptr) {
        // Each byte stands for its character's bytes of text.
        for (std::size_t at = from; at < to; ++at) {
            output->text_at += table->length[source[at - from]];
            if (marked(marks, at)) output->breaks->push_back(output->text_at);
        }
        return true;
    }
    const std::size_t mark_length = output->mark.size();
    const char* mark = output->mark.data();
    const bool short_mark = mark_length <= 8;
    char mark_word[8] = {};
    if (short_mark) std::memcpy(mark_word, mark, mark_length);
    BlockWriter* writer = output->writer;
    static_assert(COPY_SLACK >= 8);
    for (std::size_t part = from; part < to;) {
        const std::size_t stop = to - part < NARROW_PART ? to : part + NARROW_PART;
        // Room for a mark after every byte, or, where the block cannot hold
        // that, for the marks there are.
        bool room = make_room(writer, (stop - part) * (4 + mark_length));
        if (!room) {
            std::size_t count = 0;
            for (std::size_t word = part / 64; 64 * word < stop; ++word) {
                count += static_cast<std::size_t>(std::popcount(bits_in(marks, word, part, stop)));
            }
            room = make_room(writer, 4 * (stop - part) + count * mark_length);
        }
        if (!room) {
            // More than the block holds at once: a byte at a time.
            for (std::size_t at = part; at < stop; ++at) {
                unsigned char text[4];
                std::memcpy(text, &table->bytes[source[at - from]], 4);
                if (!put_bytes(writer, text, table->length[source[at - from]])) return false;
                if (marked(marks, at) &&
                    !put_bytes(writer, reinterpret_cast<const unsigned char*>(mark), mark_length)) {
                    return false;
                }
            }
            part = stop;
            continue;
        }
        unsigned char* target = writer->bytes + writer->used;
#if ZARNET_AVX512_PATHS
        if (mark_length == 2 && cpu_has_avx512_vbmi2()) {
            target = spread_narrow(table, source + (part - from), marks, part, stop, target,
                                   static_cast<unsigned char>(mark[0]), static_cast<unsigned char>(mark[1]));
            writer->used = static_cast<std::size_t>(target - writer->bytes);
            part = stop;
            continue;
        }
#endif
        std::size_t done = part;
        for (std::size_t word = part / 64; 64 * word < stop; ++word) {
            std::uint64_t bits = bits_in(marks, word, part, stop);
            while (bits != 0) {
                const std::size_t at = 64 * word + static_cast<std::size_t>(std::countr_zero(bits));
                bits &= bits - 1;
                target = put_narrow_text(table, source + (done - from), at + 1 - done, target);
                if (short_mark) {
                    std::memcpy(target, mark_word, 8);
                } else {
                    std::memcpy(target, mark, mark_length);
                }
                target += mark_length;
                done = at + 1;
            }
        }
        target = put_narrow_text(table, source + (done - from), stop - done, target);
        writer->used = static_cast<std::size_t>(target - writer->bytes);
        part = stop;
    }
    return true;
}

int put_utf8(void* context, const unsigned char* form, const std::uint64_t* marks, std::size_t from, std::size_t to)
{
    Utf8Output* output = static_cast<Utf8Output*>(context);
    utf8_reader_take(output->reader, &output->patches, &output->narrow_text, &output->next_byte);
    std::deque<Patch>& patches = output->patches.patches;
    ByteQueue* patch_bytes = &output->patches.bytes;
    const std::uint64_t base = output->handed - from;  // the place of form[0] in the whole form
    const bool narrow = output->reader->letters->narrow;
    std::size_t at = from;
    bool ok = true;
    while (ok && at < to) {
        if (patches.empty() || patches.front().at >= base + to) {
            ok = narrow ? put_narrow(output, form + at, marks, at, to) : put_marked(output, form + at, marks, at, to);
            at = to;
            break;
        }
        const Patch patch = patches.front();
        const std::size_t start = patch.at > base + at ? static_cast<std::size_t>(patch.at - base) : at;
        if (start > at) {
            ok = narrow ? put_narrow(output, form + at, marks, at, start)
                        : put_marked(output, form + at, marks, at, start);
            at = start;
            continue;
        }
        const std::uint64_t end = patch.at + patch.form_length;
        if (patch.form_length == patch.text_length) {
            // Byte for byte: the text from the patch, marks where they are.
            const std::size_t stop = end < base + to ? static_cast<std::size_t>(end - base) : to;
            const unsigned char* text = patch_bytes->bytes + patch_bytes->head + (base + at - patch.at);
            ok = put_marked(output, text, marks, at, stop);
            at = stop;
        } else {
            // A stretch whose form has another length: its text goes out with
            // its last byte of form, a mark after that byte after the text.
            if (end > base + to) break;
            at = static_cast<std::size_t>(end - base);
            if (output->breaks != nullptr) {
                output->text_at += patch.text_length;
                if (marked(marks, at - 1)) output->breaks->push_back(output->text_at);
            } else {
                ok = put_bytes(output->writer, patch_bytes->bytes + patch_bytes->head, patch.text_length);
            }
            if (ok && output->breaks == nullptr && marked(marks, at - 1)) {
                ok = put_bytes(output->writer, reinterpret_cast<const unsigned char*>(output->mark.data()),
                               output->mark.size());
            }
        }
        if (base + at == end) {
            patch_bytes->head += patch.text_length;
            patches.pop_front();
        }
    }
    output->handed = base + to;
    // The whole steps the block holds go out while they are still in the cache.
    if (ok && output->writer != nullptr) block_writer_drain(output->writer);
    return ok ? 0 : (output->writer->error != 0 ? output->writer->error : ENOSPC);
}

}  // namespace

void utf8_output_create(Utf8Output* output, BlockWriter* writer, Utf8Reader* reader, const std::string& mark,
                        std::vector<std::uint64_t>* breaks)
{
    output->writer = writer;
    output->reader = reader;
    output->mark = mark;
    output->handed = 0;
    output->breaks = breaks;
    output->text_at = 0;
    patch_queue_create(&output->patches);
    // No narrow byte lies below 0x80: the reader's table is taken whole.
    output->next_byte = 0;
    utf8_reader_take(reader, &output->patches, &output->narrow_text, &output->next_byte);
}

void utf8_output_destroy(Utf8Output* output)
{
    patch_queue_destroy(&output->patches);
}

MarkSink utf8_output_sink(Utf8Output* output)
{
    return MarkSink{put_utf8, output};
}
