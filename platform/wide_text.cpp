#include "platform/wide_text.h"

namespace {

constexpr char32_t REPLACEMENT = 0xFFFD;

bool is_high_surrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool is_low_surrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void append_utf8(std::string* out, char32_t code)
{
    if (code < 0x80) {
        out->push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out->push_back(static_cast<char>(0xC0 | (code >> 6)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out->push_back(static_cast<char>(0xE0 | (code >> 12)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out->push_back(static_cast<char>(0xF0 | (code >> 18)));
        out->push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
}

void append_utf16(std::u16string* out, char32_t code)
{
    if (code < 0x10000) {
        out->push_back(static_cast<char16_t>(code));
        return;
    }
    code -= 0x10000;
    out->push_back(static_cast<char16_t>(0xD800 + (code >> 10)));
    out->push_back(static_cast<char16_t>(0xDC00 + (code & 0x3FF)));
}

// The code point of the sequence at `text` and its length in *length, or
// REPLACEMENT with a length of 1 for a byte that starts no valid sequence.
// Encoded surrogates are taken, since they stand for unpaired units.
char32_t decode_utf8(const unsigned char* text, std::size_t* length)
{
    *length = 1;
    const unsigned char lead = text[0];
    if (lead < 0x80) return lead;
    std::size_t count = 0;
    char32_t code = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        count = 1;
        code = lead & 0x1F;
        least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        count = 2;
        code = lead & 0x0F;
        least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        count = 3;
        code = lead & 0x07;
        least = 0x10000;
    } else {
        return REPLACEMENT;
    }
    for (std::size_t i = 1; i <= count; ++i) {
        // A NUL ends the string and is no continuation byte, so this never
        // reads past the end.
        if ((text[i] & 0xC0) != 0x80) return REPLACEMENT;
        code = (code << 6) | (text[i] & 0x3F);
    }
    if (code < least || code > 0x10FFFF) return REPLACEMENT;
    *length = count + 1;
    return code;
}

bool starts_with(const std::u16string& text, const char* prefix)
{
    std::size_t i = 0;
    for (; prefix[i] != '\0'; ++i) {
        if (i == text.size() || text[i] != static_cast<char16_t>(prefix[i])) return false;
    }
    return true;
}

bool is_letter(char16_t c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

}  // namespace

std::string utf8_from_utf16(const char16_t* text, std::size_t length)
{
    std::string out;
    out.reserve(length);
    for (std::size_t i = 0; i < length; ++i) {
        char32_t code = text[i];
        if (is_high_surrogate(code) && i + 1 < length && is_low_surrogate(text[i + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        append_utf8(&out, code);
    }
    return out;
}

std::u16string utf16_from_utf8(const char* text)
{
    std::u16string out;
    const unsigned char* at = reinterpret_cast<const unsigned char*>(text);
    while (*at != 0) {
        std::size_t length = 0;
        append_utf16(&out, decode_utf8(at, &length));
        at += length;
    }
    return out;
}

std::u16string extended_length_path(const std::u16string& full_path)
{
    if (starts_with(full_path, "\\\\?\\") || starts_with(full_path, "\\\\.\\") || starts_with(full_path, "\\??\\")) {
        return full_path;
    }
    if (starts_with(full_path, "\\\\")) return u"\\\\?\\UNC\\" + full_path.substr(2);
    if (full_path.size() >= 3 && is_letter(full_path[0]) && full_path[1] == u':' && full_path[2] == u'\\') {
        return u"\\\\?\\" + full_path;
    }
    return full_path;
}
