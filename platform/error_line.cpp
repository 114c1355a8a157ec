#include "platform/error_line.h"

namespace {

const char* program_name = "zarnet";

}  // namespace

void set_error_line_program(const char* program)
{
    program_name = program;
}

const char* error_line_program()
{
    return program_name;
}
