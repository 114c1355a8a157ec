#pragma once
// The whole run of the program: arguments in, exit code out.

// Marks the text with the compiled matcher, streaming it from in_file to out_file.
int zarnet_main(int argc, char** argv);
