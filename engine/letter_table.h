#pragma once
// Which bytes of a text are letters, and the form each takes for matching.
// The engine marks runs of letters; what a letter is belongs to the program
// that reads the text (from its alphabets, for instance).

struct LetterTable {
    bool letter[256];        // the byte is a letter (never NUL)
    unsigned char fold[256]; // its lower-case form for matching (itself when not a letter)
};
