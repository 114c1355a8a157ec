#include "byte/mark_expand.h"

#include <bit>
#include <cstring>

#include "engine/break_rule.h"
#include "engine/mark_sink.h"

#include "platform/features.h"
#include "platform/expect.h"

#if ZARNET_X86_PATHS
#include <immintrin.h>
#endif

namespace {

unsigned char* expand_plain(const unsigned char* text, const std::uint64_t* marks, std::size_t from, std::size_t to,
                            unsigned char* out)
{
    std::size_t at = from;
    while (at < to) {
        const std::size_t count = to - at < 32 ? to - at : 32;
        std::uint64_t bits = mark_bits_at(marks, at, count);
        std::size_t done = 0;
        while (bits != 0) {
            const std::size_t i = static_cast<unsigned>(std::countr_zero(bits)) + 1;
            bits &= bits - 1;
            std::memcpy(out, text + at + done, i - done);
            out += i - done;
            *out++ = HYPHEN_MARK;
            done = i;
        }
        std::memcpy(out, text + at + done, count - done);
        out += count - done;
        at += count;
    }
    return out;
}

#if ZARNET_X86_PATHS

// For each pattern of marks on 8 bytes, where each output byte comes from:
// byte i of the text, or 8 (a byte of HYPHEN_MARK) after a marked byte.
struct SpreadTables {
    alignas(16) std::uint8_t shuffle[256][16];
    std::uint8_t length[256];  // 8 + the marks
};

constexpr SpreadTables make_spread_tables()
{
    SpreadTables tables{};
    for (int m = 0; m < 256; ++m) {
        int o = 0;
        for (int i = 0; i < 8; ++i) {
            tables.shuffle[m][o++] = static_cast<std::uint8_t>(i);
            if ((m >> i) & 1) tables.shuffle[m][o++] = 8;
        }
        tables.length[m] = static_cast<std::uint8_t>(o);
        for (; o < 16; ++o) tables.shuffle[m][o] = 8;
    }
    return tables;
}

constexpr SpreadTables SPREAD = make_spread_tables();

// Spreads 8 bytes with marks `m` at `out`; returns the end of what counts.
__attribute__((target("ssse3"))) inline unsigned char* spread8(const unsigned char* in, unsigned m, __m128i mark,
                                                                unsigned char* out)
{
    std::uint64_t eight;
    std::memcpy(&eight, in, sizeof eight);
    const __m128i source = _mm_unpacklo_epi64(_mm_cvtsi64_si128(static_cast<long long>(eight)), mark);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_shuffle_epi8(source, _mm_load_si128(reinterpret_cast<const __m128i*>(SPREAD.shuffle[m]))));
    return out + SPREAD.length[m];
}

__attribute__((target("ssse3"))) unsigned char* expand_ssse3(const unsigned char* text, const std::uint64_t* marks,
                                                              std::size_t from, std::size_t to, unsigned char* out)
{
    const __m128i mark = _mm_set1_epi8(static_cast<char>(HYPHEN_MARK));
    std::size_t at = from;
    // Whole groups of 32 bytes, four steps each without a test.
    for (; to - at >= 32; at += 32) {
        const std::uint64_t bits = mark_bits_at(marks, at, 32);
        const unsigned char* in = text + at;
        out = spread8(in, static_cast<unsigned>(bits & 0xFF), mark, out);
        out = spread8(in + 8, static_cast<unsigned>(bits >> 8 & 0xFF), mark, out);
        out = spread8(in + 16, static_cast<unsigned>(bits >> 16 & 0xFF), mark, out);
        out = spread8(in + 24, static_cast<unsigned>(bits >> 24 & 0xFF), mark, out);
    }
    if (at == to) return out;
    // The last bytes: their marks stop at `to`, so only the bytes past it
    // that a step writes do not count.
    const std::size_t count = to - at;
    std::uint64_t bits = mark_bits_at(marks, at, count);
    for (std::size_t part = 0; part < count; part += 8, bits >>= 8) {
        out = spread8(text + at + part, static_cast<unsigned>(bits & 0xFF), mark, out);
    }
    return out - (count % 8 == 0 ? 0 : 8 - count % 8);
}

bool has_ssse3()
{
    static const bool supported = __builtin_cpu_supports("ssse3");
    return supported;
}

#endif

#if ZARNET_AVX512_PATHS

// 32 bytes at a time: the mark bits, interleaved with a bit for each byte and
// packed again (pdep, pext), say where each byte of the output comes from;
// the byte expansion of AVX-512 VBMI2 puts the text there and HYPHEN_MARK in
// between.
__attribute__((target("avx512f,avx512bw,avx512vbmi2,bmi,bmi2,popcnt"))) unsigned char* expand_avx512(
    const unsigned char* text, const std::uint64_t* marks, std::size_t from, std::size_t to, unsigned char* out)
{
    const __m512i mark = _mm512_set1_epi8(static_cast<char>(HYPHEN_MARK));
    constexpr std::uint64_t EVEN = 0x5555555555555555ull;
    constexpr std::uint64_t ODD = 0xAAAAAAAAAAAAAAAAull;
    std::size_t at = from;
    while (at < to) {
        const std::size_t count = to - at < 32 ? to - at : 32;
        const std::uint64_t bits = mark_bits_at(marks, at, count);
        const std::uint64_t places = _pext_u64(EVEN, EVEN | _pdep_u64(bits, ODD));
        // Only the first 32 bytes are spread.
        const __m512i source = _mm512_loadu_si512(text + at);
        _mm512_storeu_si512(out, _mm512_mask_expand_epi8(mark, places, source));
        out += count + static_cast<std::size_t>(_mm_popcnt_u64(bits));
        at += count;
    }
    return out;
}


#endif

}  // namespace

bool expand_path_supported(ExpandPath path)
{
    switch (path) {
    case ExpandPath::plain:
        return true;
#if ZARNET_X86_PATHS
    case ExpandPath::ssse3:
        return has_ssse3();
#endif
#if ZARNET_AVX512_PATHS
    case ExpandPath::avx512:
        return cpu_has_avx512_vbmi2();
#endif
    default:
        return false;
    }
}

unsigned char* expand_marks_along(ExpandPath path, const unsigned char* text, const std::uint64_t* marks,
                                  std::size_t from, std::size_t to, unsigned char* out)
{
#if ZARNET_AVX512_PATHS
    if (path == ExpandPath::avx512) return expand_avx512(text, marks, from, to, out);
#endif
#if ZARNET_X86_PATHS
    if (path == ExpandPath::ssse3) return expand_ssse3(text, marks, from, to, out);
#endif
    (void)path;
    return expand_plain(text, marks, from, to, out);
}

unsigned char* expand_marks(const unsigned char* text, const std::uint64_t* marks, std::size_t from, std::size_t to,
                            unsigned char* out)
{
    ZARNET_EXPECT(from <= to);
#if ZARNET_AVX512_PATHS
    if (cpu_has_avx512_vbmi2()) return expand_avx512(text, marks, from, to, out);
#endif
#if ZARNET_X86_PATHS
    if (has_ssse3()) return expand_ssse3(text, marks, from, to, out);
#endif
    return expand_plain(text, marks, from, to, out);
}
