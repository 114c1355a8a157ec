#pragma once
// Reads bytes the way a Windows console program reads a file opened in text
// mode, on every platform: a carriage return followed by a newline reads as
// a newline, and the byte 0x1A ends the file. The bytes themselves come
// unchanged, so the result never depends on the platform.

#include <cstddef>

#include "engine/byte_source.h"

constexpr std::size_t TEXT_MODE_READER_BUFFER = 64 * 1024;

struct TextModeReader {
    ByteSource* source;
    std::size_t position;   // next unread byte in `buffer`
    std::size_t length;     // bytes held in `buffer`
    bool ended;             // end of file or 0x1A reached
    int error;              // errno of a failed read, 0 when none
    // The bytes read, then a NUL: a scan that stops at a NUL stops there.
    unsigned char buffer[TEXT_MODE_READER_BUFFER + 1];
};

// Starts reading `source`, which must outlive the reader.
void text_mode_reader_start(TextModeReader* reader, ByteSource* source);

// Like fgets(line, capacity, stream) on a text-mode stream: stores at most
// capacity - 1 bytes, stopping after a newline, then a NUL. Returns the
// number of bytes stored; 0 means the end of the file or a read error (see
// `error`). The line may hold NUL bytes of its own.
std::size_t text_mode_reader_gets(TextModeReader* reader, char* line, std::size_t capacity);
