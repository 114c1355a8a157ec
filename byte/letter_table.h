#pragma once
// The two alphabets turned into one table lookup per byte.

#include "engine/letter_table.h"

// Builds the table with the same rules as is_letter and fold_letter.
void letter_table_build(LetterTable* table, const char* smallChars, const char* largeChars);
