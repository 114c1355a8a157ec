#pragma once
// Text between the UTF-16 of Windows' wide calls and the 8-bit strings the
// rest of the program passes around. On Windows the program holds file names
// in UTF-8, converted from the wide command line and back again for each
// call, so that a name in any script survives the trip unchanged.
//
// The conversion is lossless for every sequence of 16-bit units, including
// the unpaired surrogates that Windows allows in file names: such a unit is
// written as the three bytes that UTF-8 would give its code point.

#include <cstddef>
#include <string>

// The UTF-8 form of `length` UTF-16 units.
std::string utf8_from_utf16(const char16_t* text, std::size_t length);

// The UTF-16 form of a NUL-terminated UTF-8 string; the inverse of
// utf8_from_utf16. A byte that starts no valid sequence becomes U+FFFD.
std::u16string utf16_from_utf8(const char* text);

// The extended-length form of a full Windows path ("C:\dir\file" becomes
// "\\?\C:\dir\file", "\\server\share\file" becomes "\\?\UNC\server\share\file"),
// in which the wide calls take paths of up to 32,767 units. Paths already in
// that form or in the device namespace (\\.\), and anything that is not a
// full path, come back as they are.
std::u16string extended_length_path(const std::u16string& full_path);
