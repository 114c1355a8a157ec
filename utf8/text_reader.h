#pragma once
// Reads a UTF-8 text for the engine: the engine gets the text in the form
// that the patterns match, each letter in its composed form (NFC) and lower
// case (ASCII capitals excepted: the engine folds those itself), every
// other character as bytes that are no letter. In a set's narrow form
// (letters.h) each letter is one byte.
//
// Nearly every character keeps its bytes in that form, or stands for them
// there by its narrow byte, so the output can take the text back from the
// form itself. Where the form differs (a character that is no letter, a
// capital outside the narrow form, a NUL, a word in decomposed form),
// the reader keeps the text's own bytes there as a patch for the output.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>

#include "engine/byte_source.h"
#include "utf8/letters.h"

// A place where the text's bytes are not those of its form. Where the two
// lengths are the same, byte k of the form stands for byte k of the text;
// else the stretch is one whole (a letter with the marks on it, in another
// form), and only its end can take a mark.
struct Patch {
    std::uint64_t at;            // its place in the matching form, from the start
    std::uint32_t form_length;
    std::uint32_t text_length;   // the text's bytes, in order in the reader's patch bytes
};

// Bytes past the end of the raw text and of the patch bytes that fixed-size
// copies may read.
constexpr std::size_t QUEUE_SLACK = 64;

// Bytes between the reader and the output, in order.
struct ByteQueue {
    unsigned char* bytes;
    std::size_t head;  // the first not yet taken
    std::size_t tail;  // one past the last put
    std::size_t capacity;
};

// Patches in order, with the text's bytes of each, in order too.
struct PatchQueue {
    std::deque<Patch> patches;
    ByteQueue bytes;
};

void patch_queue_create(PatchQueue* queue);
void patch_queue_destroy(PatchQueue* queue);

struct Utf8Reader {
    ByteSource* in;
    const Utf8Letters* letters;
    std::uint32_t* info;         // what each code point below 0x10000 is, filled as they come (0: not yet)
    unsigned char* raw;          // text read from `in` and not yet turned into the matching form
    std::size_t raw_start;
    std::size_t raw_end;
    bool ended;                  // `in` has no more
    bool direct;                 // the text has been ASCII so far: it is read into the engine's buffer
    std::uint64_t raw_offset;    // the offset in the text of raw[0]
    std::uint64_t lines;         // line ends in the text before raw[raw_start]
    unsigned char* form;         // matching form made and not yet given out
    std::size_t form_start;
    std::size_t form_end;
    std::uint64_t produced;      // bytes of the matching form made
    PatchQueue made;             // patches of the form not yet published
    // In a narrow form, the set's bytes and, after them, bytes given to
    // characters that are no letter as they are met (while there are bytes
    // left), so that those need no patch: what each stands for, and the
    // next to give.
    NarrowText narrow_text;
    unsigned next_byte;
    // What the output needs of the reader, which it may write on another
    // thread than the one reading: the patches and the narrow bytes, as
    // they stood at the end of the last read.
    std::mutex handoff;
    PatchQueue published;
    NarrowText published_text;
    unsigned published_next_byte;
    // Where the text is not UTF-8: its line (from 1) and byte offset (from 0).
    bool invalid;
    std::uint64_t invalid_line;
    std::uint64_t invalid_offset;
};

void utf8_reader_create(Utf8Reader* reader, ByteSource* in, const Utf8Letters* letters);
void utf8_reader_destroy(Utf8Reader* reader);

// Moves the patches published so far to the end of `into` and brings
// `text`, with the narrow bytes before *next_byte in it, up to those given
// so far. Safe while the reader reads on another thread.
void utf8_reader_take(Utf8Reader* reader, PatchQueue* into, NarrowText* text, unsigned* next_byte);

// The reader as the engine's source. A text that is not UTF-8 ends with the
// error EILSEQ (and `invalid` set); a failed read of `in`, with its error.
ByteSource utf8_reader_source(Utf8Reader* reader);
