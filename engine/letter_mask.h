#pragma once
// Bit masks of which bytes of a text are letters, 64 bytes to a word, so
// that runs of letters are found with bit operations instead of a branch on
// every byte.

#include <cstddef>
#include <cstdint>

// Sets bit i of bits[k] when text[64k + i] is a letter, for every byte of
// text[0 .. count), count a multiple of 64.
void letter_mask_build(const bool letter[256], const unsigned char* text, std::size_t count, std::uint64_t* bits);

// The ways of building the mask; the fastest the processor has serves
// letter_mask_build.
enum class LetterMaskPath { plain, ssse3, avx2 };

bool letter_mask_path_supported(LetterMaskPath path);

// letter_mask_build along one path, which must be supported.
void letter_mask_build_along(LetterMaskPath path, const bool letter[256], const unsigned char* text,
                             std::size_t count, std::uint64_t* bits);
