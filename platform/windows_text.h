#pragma once
// Windows only: the program's UTF-8 strings as Windows' wide calls take
// them, and the ANSI code page.

#include <string>

// The wide form of a UTF-8 string.
std::wstring wide_from_utf8(const char* text);

// The UTF-8 form of a wide string.
std::string utf8_from_wide(const wchar_t* text);

// The path the wide calls are given for the file name `name` (UTF-8): its
// full path in the extended-length form (\\?\C:\..., \\?\UNC\...), which
// takes paths up to the system's limit, after the usual Win32 reading of the
// name (the current folder and drive, "." and "..", "/" for "\", trailing
// dots and spaces dropped). A name the system cannot make full is given as it is.
std::wstring long_path(const char* name);

// The bytes of `text` in the ANSI code page in *bytes. False, with *bytes
// empty, when a character has no byte there (nothing is replaced by a
// look-alike or "?").
bool ansi_from_wide(const std::wstring& text, std::string* bytes);

// Writes text (UTF-8) to standard error so that it reads as it should: on a
// console as its characters; written to a file or a pipe, in the ANSI code
// page, or in UTF-8 when a character is not in the ANSI code page.
void write_standard_error_text(const std::string& text);
