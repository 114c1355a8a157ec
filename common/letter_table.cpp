#include "common/letter_table.h"

#include "common/alphabet.h"

void letter_table_build(LetterTable* table, const char* smallChars, const char* largeChars)
{
    for (int b = 0; b < 256; ++b) {
        const unsigned char byte = static_cast<unsigned char>(b);
        table->letter[b] = is_letter(byte, smallChars, largeChars);
        table->fold[b] = fold_letter(byte, smallChars, largeChars);
    }
}
