#pragma once
// The whole run of the program: arguments in, exit code out.

// Marks the text with the compiled matcher, streaming it from in_file to out_file.
int zarnet_main(int argc, char** argv);

// The same run done the plain way: the whole text in memory, every word
// walked through the automaton itself. Kept as the reference for comparisons.
int zarnet_main_plain(int argc, char** argv);
