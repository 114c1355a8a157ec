#pragma once
// Reads a file the way a Windows console program reads a file opened in text
// mode, on every platform: a carriage return followed by a newline reads as
// a newline, and the byte 0x1A ends the file. The file itself is opened in
// binary mode, so the result never depends on the platform.

#include <cstddef>
#include <cstdio>

constexpr std::size_t TEXT_MODE_READER_BUFFER = 64 * 1024;

struct TextModeReader {
    std::FILE* file;
    std::size_t position;   // next unread byte in `buffer`
    std::size_t length;     // bytes held in `buffer`
    bool ended;             // end of file or 0x1A reached
    int error;              // errno of a failed open or read, 0 when none
    // The bytes read, then a NUL: a scan that stops at a NUL stops there.
    unsigned char buffer[TEXT_MODE_READER_BUFFER + 1];
};

// Opens `path`; on failure returns false and leaves the reason in `error`.
bool text_mode_reader_open(TextModeReader* reader, const char* path);

// Like fgets(line, capacity, stream) on a text-mode stream: stores at most
// capacity - 1 bytes, stopping after a newline, then a NUL. Returns the
// number of bytes stored; 0 means the end of the file or a read error (see
// `error`). The line may hold NUL bytes of its own.
std::size_t text_mode_reader_gets(TextModeReader* reader, char* line, std::size_t capacity);

// Closes the file. Safe on a reader whose open failed.
void text_mode_reader_close(TextModeReader* reader);
