#pragma once
// Reads a UTF-8 text for the engine: the engine gets the text in the form
// that the patterns match (each letter in its lower-case, composed form,
// every other character as bytes that are no letter), and the bytes as
// written wait, in order, for the output to take them back.
//
// Nearly every character keeps its length in that form, so a byte of the
// form stands for the byte of the text at the same place. Where it does
// not (a word in decomposed form, a capital whose small letter is longer or
// shorter), the place is noted as an irregular stretch.

#include <cstddef>
#include <cstdint>
#include <deque>

#include "engine/byte_source.h"
#include "utf8/letters.h"

// A stretch of the matching form whose length differs from the text's.
struct Irregular {
    std::uint64_t at;                // its place in the matching form, from the start
    std::uint32_t form_length;
    std::uint32_t text_length;
};

// Bytes past the end of the raw text and of the queue that fixed-size copies
// may read.
constexpr std::size_t QUEUE_SLACK = 64;

// The text's own bytes between the reader and the output, in order.
struct TextQueue {
    unsigned char* bytes;
    std::size_t head;  // the first not yet taken
    std::size_t tail;  // one past the last put
    std::size_t capacity;
};

struct Utf8Reader {
    ByteSource* in;
    const Utf8Letters* letters;
    std::uint32_t* info;         // what each code point below 0x10000 is, filled as they come (0: not yet)
    unsigned char* raw;          // text read from `in` and not yet turned into the matching form
    std::size_t raw_start;
    std::size_t raw_end;
    bool ended;                  // `in` has no more
    std::uint64_t raw_offset;    // the offset in the text of raw[0]
    std::uint64_t lines;         // line ends in the text before raw[raw_start]
    unsigned char* form;         // matching form made and not yet given out
    std::size_t form_start;
    std::size_t form_end;
    std::uint64_t produced;      // bytes of the matching form made
    TextQueue text;
    std::deque<Irregular> irregular;
    // Where the text is not UTF-8: its line (from 1) and byte offset (from 0).
    bool invalid;
    std::uint64_t invalid_line;
    std::uint64_t invalid_offset;
};

void utf8_reader_create(Utf8Reader* reader, ByteSource* in, const Utf8Letters* letters);
void utf8_reader_destroy(Utf8Reader* reader);

// The reader as the engine's source. A text that is not UTF-8 ends with the
// error EILSEQ (and `invalid` set); a failed read of `in`, with its error.
ByteSource utf8_reader_source(Utf8Reader* reader);

// Takes the next `count` bytes of the text into `out` (the output's part).
void text_queue_take(TextQueue* queue, std::size_t count, unsigned char* out);
