#pragma once
// The two alphabets turned into one table lookup per byte.

#include <cstdint>

struct LetterTable {
    bool letter[256];        // the byte occurs in either alphabet (never NUL)
    unsigned char fold[256]; // its lower-case form for matching (itself when not a letter)
};

// Builds the table with the same rules as is_letter and fold_letter.
void letter_table_build(LetterTable* table, const char* smallChars, const char* largeChars);
