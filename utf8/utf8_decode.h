#pragma once
// Decoding one UTF-8 sequence, strictly: no overlong forms, no surrogates,
// nothing past U+10FFFF.

#include <cstddef>
#include <cstdint>

// The length of the sequence that starts with `lead` (1 to 4), or 0 when no
// sequence starts with it.
inline int utf8_length(unsigned char lead)
{
    if (lead < 0x80) return 1;
    if (lead < 0xC2) return 0;
    if (lead < 0xE0) return 2;
    if (lead < 0xF0) return 3;
    if (lead < 0xF5) return 4;
    return 0;
}

// Decodes the sequence at `bytes` (of which `available` can be read) into
// *code_point and returns its length, or 0 when it is not UTF-8, or -1 when
// it may be but is cut off by the end of what is available.
inline int utf8_decode(const unsigned char* bytes, std::size_t available, std::uint32_t* code_point)
{
    const unsigned char lead = bytes[0];
    const int length = utf8_length(lead);
    if (length <= 1) {
        *code_point = lead;
        return length;
    }
    std::uint32_t cp = lead & (0x7F >> length);
    for (int k = 1; k < length; ++k) {
        if (static_cast<std::size_t>(k) >= available) return -1;
        const unsigned char next = bytes[k];
        if ((next & 0xC0) != 0x80) return 0;
        // The second byte's range rules out overlong forms, surrogates and
        // code points past U+10FFFF.
        if (k == 1 && ((lead == 0xE0 && next < 0xA0) || (lead == 0xED && next > 0x9F) ||
                       (lead == 0xF0 && next < 0x90) || (lead == 0xF4 && next > 0x8F))) {
            return 0;
        }
        cp = cp << 6 | (next & 0x3F);
    }
    *code_point = cp;
    return length;
}

// Writes the UTF-8 form of `cp` and returns its length.
inline int utf8_encode(std::uint32_t cp, unsigned char* out)
{
    if (cp < 0x80) {
        out[0] = static_cast<unsigned char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<unsigned char>(0xC0 | cp >> 6);
        out[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<unsigned char>(0xE0 | cp >> 12);
        out[1] = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
        out[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<unsigned char>(0xF0 | cp >> 18);
    out[1] = static_cast<unsigned char>(0x80 | (cp >> 12 & 0x3F));
    out[2] = static_cast<unsigned char>(0x80 | (cp >> 6 & 0x3F));
    out[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
    return 4;
}

inline int utf8_encoded_length(std::uint32_t cp)
{
    return cp < 0x80 ? 1 : cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
}
