#pragma once
// The two command-line alphabets: position k of the upper-case alphabet
// folds to position k of the lower-case one. Bytes are compared unsigned.

#include <cstddef>

// Position of `byte` in the NUL-terminated `alphabet`, or -1. NUL is never found.
std::ptrdiff_t alphabet_position(const char* alphabet, unsigned char byte);

// A letter is a byte that occurs in either alphabet.
bool is_letter(unsigned char byte, const char* smallChars, const char* largeChars);

// The lower-case form of `byte` for matching. A byte of the lower-case
// alphabet stays itself; one found at position k of the upper-case alphabet
// becomes position k of the lower-case alphabet, or stays itself when the
// lower-case alphabet is shorter than k + 1; any other byte stays itself.
unsigned char fold_letter(unsigned char byte, const char* smallChars, const char* largeChars);
