#pragma once
// The error lines the program writes, naming a file and the reason.

#include <string>

// `name` as it goes into a message: control bytes (a newline, a tab, an
// escape ...) shown as \n, \t, \r or \xHH, so that the message stays on one
// line and cannot steer the terminal.
std::string printable_name(const char* name);

// "zarnet: <file>: <reason>" on standard error; returns exit code 1.
int report_file_error(const char* path, int error);

// The same for out_file when writing it failed part way through a copy into
// it: the line adds that it is incomplete and which file holds the whole
// output. With `kept` empty, the plain line.
int report_output_error(const char* path, int error, const std::string& kept);

// The message of an output copy cut short by a signal, written by the
// signal handler itself.
std::string interrupted_copy_message(const char* path, const std::string& kept);
