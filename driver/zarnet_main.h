#pragma once
// The whole run of the program: arguments in, exit code out.

int zarnet_main(int argc, char** argv);
