#pragma once
// The error lines the program writes, naming a file and the reason.

#include <string>

// `name` as it goes into a message: control bytes (a newline, a tab, an
// escape ..., and the C1 controls 0x80 .. 0x9F, alone or in UTF-8) shown as
// \n, \t, \r or \xHH, so that the message stays on one line and cannot
// steer the terminal. Characters in UTF-8 and the other bytes pass.
std::string printable_name(const char* name);

// "zarnet: <file>: <reason>" on standard error; returns exit code 1.
int report_file_error(const char* path, int error);

// The same for out_file when writing it failed part way through a copy into
// it: the line adds that it is incomplete and which file holds the whole
// output. With `kept` empty, the plain line.
int report_output_error(const char* path, int error, const std::string& kept);

// "zarnet: <in_file>: ..." when in_file is out_file and bytes follow the NUL
// byte that ends its text: written in place, they would be lost, so the
// file is left as it was. Returns exit code 1.
int report_cut_in_place(const char* path);

// The message of an output copy cut short by a signal, written by the
// signal handler itself.
std::string interrupted_copy_message(const char* path, const std::string& kept);
