#include "platform/error_line.h"

#include <cstdio>

void write_error_line(const char* name, const char* reason)
{
    std::fprintf(stderr, "%s: %s: %s\n", error_line_program(), name, reason);
}
