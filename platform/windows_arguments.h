#pragma once
// Windows only: the program's arguments from the wide (UTF-16) command line,
// as the 8-bit strings the rest of the program takes.

#include <string>
#include <vector>

struct WindowsArguments {
    std::vector<std::string> strings;
    std::vector<char*> pointers;  // argv: into `strings`, then a null
};

// Converts `argc` wide arguments. When there are the five of a run, starting
// at position `first` (1 for zarnet, after the program's name), the three
// file names become UTF-8, which the file calls turn back into the same wide
// names, and the two alphabets become the bytes of the ANSI code page, as
// they always were. Every other argument becomes UTF-8. Returns false after
// reporting an alphabet with a character that has no byte in the ANSI code
// page: its letters would otherwise silently stand for other bytes.
bool take_windows_arguments(WindowsArguments* arguments, int argc, wchar_t** argv, int first);
