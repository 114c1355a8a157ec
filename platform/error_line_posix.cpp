#include "platform/error_line.h"

#include <cstdio>

void write_error_line(const char* name, const char* reason)
{
    std::fprintf(stderr, "zarnet: %s: %s\n", name, reason);
}
