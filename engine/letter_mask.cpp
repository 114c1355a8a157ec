#include "engine/letter_mask.h"

#include <cstring>

#include "platform/features.h"
#include "platform/expect.h"

#if ZARNET_X86_PATHS
#include <immintrin.h>
#endif

namespace {

void build_plain(const bool letter[256], const unsigned char* text, std::size_t count, std::uint64_t* bits)
{
    for (std::size_t k = 0; k < count / 64; ++k) {
        const unsigned char* block = text + 64 * k;
        std::uint64_t mask = 0;
        for (unsigned i = 0; i < 64; ++i) mask |= static_cast<std::uint64_t>(letter[block[i]]) << i;
        bits[k] = mask;
    }
}

#if ZARNET_X86_PATHS

// Membership in any set of bytes with two 16-entry lookups: the low nibble
// selects a byte whose bit h tells whether the byte with high nibble h (or
// h + 8 in the second table) is in the set.
struct NibbleTables {
    alignas(16) std::uint8_t low_half[16];   // high nibbles 0..7
    alignas(16) std::uint8_t high_half[16];  // high nibbles 8..15
};

void make_tables(const bool letter[256], NibbleTables* tables)
{
    std::memset(tables, 0, sizeof(NibbleTables));
    for (int b = 0; b < 256; ++b) {
        if (!letter[b]) continue;
        const int high = b >> 4;
        const int low = b & 15;
        if (high < 8) {
            tables->low_half[low] = static_cast<std::uint8_t>(tables->low_half[low] | (1 << high));
        } else {
            tables->high_half[low] = static_cast<std::uint8_t>(tables->high_half[low] | (1 << (high - 8)));
        }
    }
}

__attribute__((target("ssse3"))) std::uint32_t mask16(__m128i bytes, __m128i low_half, __m128i high_half,
                                                       __m128i bit_of)
{
    const __m128i nibble = _mm_set1_epi8(0x0F);
    const __m128i low = _mm_and_si128(bytes, nibble);
    const __m128i high = _mm_and_si128(_mm_srli_epi16(bytes, 4), nibble);
    const __m128i row_low = _mm_shuffle_epi8(low_half, low);
    const __m128i row_high = _mm_shuffle_epi8(high_half, low);
    // Bytes >= 0x80 use the second table.
    const __m128i upper = _mm_cmplt_epi8(bytes, _mm_setzero_si128());
    const __m128i row = _mm_or_si128(_mm_andnot_si128(upper, row_low), _mm_and_si128(upper, row_high));
    const __m128i bit = _mm_shuffle_epi8(bit_of, high);  // 1 << (high & 7)
    const __m128i hit = _mm_cmpeq_epi8(_mm_and_si128(row, bit), bit);
    return static_cast<std::uint32_t>(_mm_movemask_epi8(hit));
}

__attribute__((target("ssse3"))) void build_ssse3(const bool letter[256], const unsigned char* text,
                                                   std::size_t count, std::uint64_t* bits)
{
    NibbleTables tables;
    make_tables(letter, &tables);
    const __m128i low_half = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.low_half));
    const __m128i high_half = _mm_load_si128(reinterpret_cast<const __m128i*>(tables.high_half));
    const __m128i bit_of = _mm_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
    for (std::size_t k = 0; k < count / 64; ++k) {
        const unsigned char* block = text + 64 * k;
        std::uint64_t mask = 0;
        for (unsigned part = 0; part < 4; ++part) {
            const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + 16 * part));
            mask |= static_cast<std::uint64_t>(mask16(bytes, low_half, high_half, bit_of)) << (16 * part);
        }
        bits[k] = mask;
    }
}

// The same lookups 32 bytes at a time, each 16-byte lane with its own copy
// of the tables.
__attribute__((target("avx2"))) std::uint32_t mask32(__m256i bytes, __m256i low_half, __m256i high_half,
                                                      __m256i bit_of)
{
    const __m256i nibble = _mm256_set1_epi8(0x0F);
    const __m256i low = _mm256_and_si256(bytes, nibble);
    const __m256i high = _mm256_and_si256(_mm256_srli_epi16(bytes, 4), nibble);
    const __m256i row_low = _mm256_shuffle_epi8(low_half, low);
    const __m256i row_high = _mm256_shuffle_epi8(high_half, low);
    const __m256i upper = _mm256_cmpgt_epi8(_mm256_setzero_si256(), bytes);
    const __m256i row = _mm256_blendv_epi8(row_low, row_high, upper);
    const __m256i bit = _mm256_shuffle_epi8(bit_of, high);
    const __m256i hit = _mm256_cmpeq_epi8(_mm256_and_si256(row, bit), bit);
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(hit));
}

__attribute__((target("avx2"))) void build_avx2(const bool letter[256], const unsigned char* text,
                                                 std::size_t count, std::uint64_t* bits)
{
    NibbleTables tables;
    make_tables(letter, &tables);
    const __m256i low_half =
        _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(tables.low_half)));
    const __m256i high_half =
        _mm256_broadcastsi128_si256(_mm_load_si128(reinterpret_cast<const __m128i*>(tables.high_half)));
    const __m256i bit_of = _mm256_setr_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8,
                                            16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
    for (std::size_t k = 0; k < count / 64; ++k) {
        const unsigned char* block = text + 64 * k;
        const __m256i first = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block));
        const __m256i second = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(block + 32));
        bits[k] = static_cast<std::uint64_t>(mask32(first, low_half, high_half, bit_of)) |
                  static_cast<std::uint64_t>(mask32(second, low_half, high_half, bit_of)) << 32;
    }
}

bool has_ssse3()
{
    static const bool supported = __builtin_cpu_supports("ssse3");
    return supported;
}

bool has_avx2()
{
    static const bool supported = __builtin_cpu_supports("avx2");
    return supported;
}

#endif

}  // namespace

bool letter_mask_path_supported(LetterMaskPath path)
{
    switch (path) {
    case LetterMaskPath::plain:
        return true;
#if ZARNET_X86_PATHS
    case LetterMaskPath::ssse3:
        return has_ssse3();
    case LetterMaskPath::avx2:
        return has_avx2();
#endif
    default:
        return false;
    }
}

void letter_mask_build_along(LetterMaskPath path, const bool letter[256], const unsigned char* text,
                             std::size_t count, std::uint64_t* bits)
{
#if ZARNET_X86_PATHS
    if (path == LetterMaskPath::avx2) {
        build_avx2(letter, text, count, bits);
        return;
    }
    if (path == LetterMaskPath::ssse3) {
        build_ssse3(letter, text, count, bits);
        return;
    }
#endif
    build_plain(letter, text, count, bits);
}

void letter_mask_build(const bool letter[256], const unsigned char* text, std::size_t count, std::uint64_t* bits)
{
    ZARNET_EXPECT(count % 64 == 0);
    // NUL is never a letter: the tables below rely on it.
#if ZARNET_X86_PATHS
    if (has_avx2()) {
        build_avx2(letter, text, count, bits);
        return;
    }
    if (has_ssse3()) {
        build_ssse3(letter, text, count, bits);
        return;
    }
#endif
    build_plain(letter, text, count, bits);
}
