#include "platform/error_line.h"

#include <string>

#include "platform/windows_text.h"

void write_error_line(const char* name, const char* reason)
{
    write_standard_error_text(std::string(error_line_program()).append(": ").append(name).append(": ").append(reason).append("\n"));
}
