#include "files/messages.h"

#include "platform/error_line.h"

namespace {

// The length of the well-formed UTF-8 sequence at `p` when it encodes a
// character from U+00A0 on, else 0 (the C1 controls U+0080 .. U+009F, a
// stray or cut-off byte, an overlong form or a surrogate).
std::size_t printable_utf8_length(const unsigned char* p)
{
    static const unsigned least[] = {0, 0, 0xA0, 0x800, 0x10000};
    std::size_t length = 0;
    unsigned code = 0;
    if (p[0] >= 0xC2 && p[0] <= 0xDF) {
        length = 2;
        code = p[0] & 0x1Fu;
    } else if (p[0] >= 0xE0 && p[0] <= 0xEF) {
        length = 3;
        code = p[0] & 0x0Fu;
    } else if (p[0] >= 0xF0 && p[0] <= 0xF4) {
        length = 4;
        code = p[0] & 0x07u;
    } else {
        return 0;
    }
    for (std::size_t k = 1; k < length; ++k) {
        if ((p[k] & 0xC0) != 0x80) return 0;  // the NUL at the end too
        code = code << 6 | (p[k] & 0x3Fu);
    }
    if (code < least[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

void append_escaped(std::string* text, unsigned char byte)
{
    static const char digits[] = "0123456789abcdef";
    text->append("\\x").push_back(digits[byte >> 4]);
    text->push_back(digits[byte & 15]);
}

}  // namespace

std::string printable_name(const char* name)
{
    // Characters in UTF-8 and the printable bytes of single-byte character
    // sets pass; the C1 controls, which a terminal may take as commands
    // alone (0x9B opens a sequence as ESC [ does) or in UTF-8 (C2 9B), are
    // shown as their bytes.
    const unsigned char* p = reinterpret_cast<const unsigned char*>(name);
    std::string text;
    while (*p != 0) {
        const std::size_t length = printable_utf8_length(p);
        if (length != 0) {
            text.append(reinterpret_cast<const char*>(p), length);
            p += length;
            continue;
        }
        if (p[0] == 0xC2 && p[1] >= 0x80 && p[1] <= 0x9F) {
            append_escaped(&text, p[0]);
            append_escaped(&text, p[1]);
            p += 2;
            continue;
        }
        const unsigned char byte = *p++;
        if ((byte >= 0x20 && byte < 0x7F) || byte >= 0xA0) {
            text.push_back(static_cast<char>(byte));
        } else if (byte == '\n') {
            text.append("\\n");
        } else if (byte == '\t') {
            text.append("\\t");
        } else if (byte == '\r') {
            text.append("\\r");
        } else {
            append_escaped(&text, byte);
        }
    }
    return text;
}

int report_file_error(const char* path, int error)
{
    write_error_line(printable_name(path).c_str(), error_reason(error));
    return 1;
}

int report_output_error(const char* path, int error, const std::string& kept)
{
    if (kept.empty()) return report_file_error(path, error);
    const std::string reason = std::string(error_reason(error))
                                   .append(" while copying the output into it; it is incomplete, the whole output is in ")
                                   .append(printable_name(kept.c_str()));
    write_error_line(printable_name(path).c_str(), reason.c_str());
    return 1;
}

int report_cut_in_place(const char* path)
{
    write_error_line(printable_name(path).c_str(),
                     "bytes follow the NUL byte that ends the text, and writing it in place would lose them; "
                     "left as it was");
    return 1;
}

std::string interrupted_copy_message(const char* path, const std::string& kept)
{
    return std::string(error_line_program())
        .append(": ")
        .append(printable_name(path))
        .append(": interrupted while copying the output into it; it is incomplete, the whole output is in ")
        .append(printable_name(kept.c_str()))
        .append("\n");
}
