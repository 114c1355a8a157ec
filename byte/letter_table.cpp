#include "byte/letter_table.h"

#include <cstddef>

// The same as is_letter and fold_letter for every byte, with each alphabet
// read once.
void letter_table_build(LetterTable* table, const char* smallChars, const char* largeChars)
{
    std::ptrdiff_t small_at[256];
    std::ptrdiff_t large_at[256];
    for (int b = 0; b < 256; ++b) small_at[b] = large_at[b] = -1;
    // The first place of each byte in each alphabet (NUL ends them).
    std::ptrdiff_t small_length = 0;
    for (; smallChars[small_length] != '\0'; ++small_length) {
        std::ptrdiff_t& at = small_at[static_cast<unsigned char>(smallChars[small_length])];
        if (at < 0) at = small_length;
    }
    for (std::ptrdiff_t k = 0; largeChars[k] != '\0'; ++k) {
        std::ptrdiff_t& at = large_at[static_cast<unsigned char>(largeChars[k])];
        if (at < 0) at = k;
    }
    for (int b = 0; b < 256; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        table->letter[b] = small_at[b] >= 0 || large_at[b] >= 0;
        const bool folds = small_at[b] < 0 && large_at[b] >= 0 && large_at[b] < small_length;
        table->fold[b] = folds ? static_cast<unsigned char>(smallChars[large_at[b]]) : byte;
    }
}
