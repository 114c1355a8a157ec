#include "byte/alphabet.h"

#include <cstring>

std::ptrdiff_t alphabet_position(const char* alphabet, unsigned char byte)
{
    if (byte == 0) return -1;
    for (std::ptrdiff_t k = 0; alphabet[k] != '\0'; ++k) {
        if (static_cast<unsigned char>(alphabet[k]) == byte) return k;
    }
    return -1;
}

bool is_letter(unsigned char byte, const char* smallChars, const char* largeChars)
{
    return alphabet_position(smallChars, byte) >= 0 || alphabet_position(largeChars, byte) >= 0;
}

unsigned char fold_letter(unsigned char byte, const char* smallChars, const char* largeChars)
{
    if (alphabet_position(smallChars, byte) >= 0) return byte;
    const std::ptrdiff_t k = alphabet_position(largeChars, byte);
    if (k < 0) return byte;
    if (static_cast<std::size_t>(k) >= std::strlen(smallChars)) return byte;
    return static_cast<unsigned char>(smallChars[k]);
}
