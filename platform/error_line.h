#pragma once
// The one line on standard error that reports a failure with a file.

#include <cstring>

// A reason that errno has no value for: another program holds the file open
// and lets no one else use it (a sharing violation on Windows).
constexpr int FILE_IN_USE = 0x7001;

// The words for an errno value, or for FILE_IN_USE.
inline const char* error_reason(int error)
{
    return error == FILE_IN_USE ? "File in use by another program" : std::strerror(error);
}

// The program's name that starts every error line: "zarnet" unless set.
void set_error_line_program(const char* program);
const char* error_line_program();

// Writes "<program>: <name>: <reason>\n" to standard error. On POSIX systems
// the name is written as the bytes it was given in. On Windows, where file
// names are held in UTF-8, the line shows as characters on a console, and
// is written in the ANSI code page to a file or a pipe (in UTF-8 when the
// name has characters outside that code page).
void write_error_line(const char* name, const char* reason);
