#pragma once
// The whole run of zarnet-utf8: arguments in, exit code out.

int zarnet_utf8_main(int argc, char** argv);
