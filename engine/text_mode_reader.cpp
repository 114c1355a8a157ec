#include "engine/text_mode_reader.h"


namespace {

constexpr int END_OF_TEXT = -1;
constexpr unsigned char CTRL_Z = 0x1A;

// The next raw byte without consuming it, or END_OF_TEXT.
int peek_raw(TextModeReader* reader)
{
    if (reader->position == reader->length) {
        if (reader->ended || reader->error != 0) return END_OF_TEXT;
        reader->length = byte_source_read(reader->source, reader->buffer, TEXT_MODE_READER_BUFFER);
        reader->position = 0;
        reader->buffer[reader->length] = 0;
        if (reader->length == 0) {
            if (reader->source->error != 0) {
                reader->error = reader->source->error;
            } else {
                reader->ended = true;
            }
            return END_OF_TEXT;
        }
    }
    return reader->buffer[reader->position];
}

// The next byte after text-mode translation, or END_OF_TEXT.
int next_text_byte(TextModeReader* reader)
{
    const int c = peek_raw(reader);
    if (c == END_OF_TEXT) return END_OF_TEXT;
    if (c == CTRL_Z) {
        reader->ended = true;
        reader->position = reader->length;
        return END_OF_TEXT;
    }
    ++reader->position;
    if (c == '\r' && peek_raw(reader) == '\n') {
        ++reader->position;
        return '\n';
    }
    return c;
}

}  // namespace

void text_mode_reader_start(TextModeReader* reader, ByteSource* source)
{
    reader->source = source;
    reader->position = 0;
    reader->length = 0;
    reader->ended = false;
    reader->error = 0;
}

std::size_t text_mode_reader_gets(TextModeReader* reader, char* line, std::size_t capacity)
{
    std::size_t stored = 0;
    // While the buffer holds the whole piece and the byte after it, the bytes
    // up to the first one that may need a closer look (a newline, a carriage
    // return, 0x1A, or any other byte up to 0x1A) are taken as they are.
    if (capacity > 0 && reader->length - reader->position >= capacity) {
        const unsigned char* bytes = reader->buffer + reader->position;
        while (stored + 1 < capacity) {
            const unsigned char c = bytes[stored];
            if (c <= CTRL_Z) {
                if (c != '\n') break;
                line[stored++] = '\n';
                reader->position += stored;
                line[stored] = '\0';
                return stored;
            }
            line[stored++] = static_cast<char>(c);
        }
        reader->position += stored;
    }
    while (stored + 1 < capacity) {
        const int c = next_text_byte(reader);
        if (c == END_OF_TEXT) break;
        line[stored++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    if (capacity > 0) line[stored] = '\0';
    // A read error part way through a piece loses the piece: the caller
    // treats the whole read as failed anyway.
    if (reader->error != 0) return 0;
    return stored;
}
