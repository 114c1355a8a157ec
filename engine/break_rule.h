#pragma once
// Where a mark goes. A run of letters gets a mark after letter j when the
// break value of the gap after it is odd, enough letters stand on either
// side of the gap (two and two unless a program asks for others), and j is
// one of the first MARKED_LETTERS_MAX letters of the run. Every pass over a
// text, plain or fast, decides its marks here.

#include <cstdint>

// Letters from this position of a run on never get a mark.
constexpr std::int64_t MARKED_LETTERS_MAX = 255;

// Entries of the value array that find_break_values fills: one per letter
// that can be marked, and one more.
constexpr int WORD_VALUES_MAX = 256;
static_assert(WORD_VALUES_MAX == MARKED_LETTERS_MAX + 1);

// The fewest letters a break leaves before it and after it (each at least one).
struct MarkRule {
    std::int64_t left;
    std::int64_t right;
};

constexpr MarkRule TWO_AND_TWO{2, 2};

// The shortest run that can take a mark under the usual rule: two letters
// before the break and two after it.
constexpr std::int64_t MARKABLE_RUN_MIN = TWO_AND_TWO.left + TWO_AND_TWO.right;

// True when a mark follows letter j of a run of `length` letters whose gap
// after letter j has the break value `value` (a digit character or a plain
// number: only its oddness counts). The value need not be trimmed already:
// gaps too close to either end of the run are refused here.
inline bool mark_after(std::int64_t j, std::int64_t length, unsigned value, MarkRule rule = TWO_AND_TWO)
{
    return j >= rule.left - 1 && j <= length - 1 - rule.right && j < MARKED_LETTERS_MAX && (value & 1) != 0;
}

// Words of mark bits that a run's marks take: bit j % 64 of word j / 64 for
// a mark after letter j.
constexpr int RUN_MARK_WORDS = (MARKED_LETTERS_MAX + 63) / 64;

// Sets bit j of marks[0 .. RUN_MARK_WORDS) where copy_marked_letters puts a
// mark after letter j, and clears every other bit.
template <typename Value>
inline void run_mark_bits(std::int64_t length, const Value* values, std::uint64_t marks[RUN_MARK_WORDS],
                          MarkRule rule = TWO_AND_TWO)
{
    for (int w = 0; w < RUN_MARK_WORDS; ++w) marks[w] = 0;
    const std::int64_t head = length < MARKED_LETTERS_MAX ? length : MARKED_LETTERS_MAX;
    for (std::int64_t j = 0; j < head; ++j) {
        if (mark_after(j, length, static_cast<unsigned char>(values[j]), rule)) {
            marks[j / 64] |= std::uint64_t{1} << (j % 64);
        }
    }
}
