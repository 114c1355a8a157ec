#include "files/messages.h"

#include "platform/error_line.h"

std::string printable_name(const char* name)
{
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (const char* p = name; *p != '\0'; ++p) {
        const unsigned char byte = static_cast<unsigned char>(*p);
        if (byte >= 0x20 && byte != 0x7F) {
            text.push_back(*p);
        } else if (byte == '\n') {
            text.append("\\n");
        } else if (byte == '\t') {
            text.append("\\t");
        } else if (byte == '\r') {
            text.append("\\r");
        } else {
            text.append("\\x").push_back(digits[byte >> 4]);
            text.push_back(digits[byte & 15]);
        }
    }
    return text;
}

int report_file_error(const char* path, int error)
{
    write_error_line(printable_name(path).c_str(), error_reason(error));
    return 1;
}

int report_output_error(const char* path, int error, const std::string& kept)
{
    if (kept.empty()) return report_file_error(path, error);
    const std::string reason = std::string(error_reason(error))
                                   .append(" while copying the output into it; it is incomplete, the whole output is in ")
                                   .append(printable_name(kept.c_str()));
    write_error_line(printable_name(path).c_str(), reason.c_str());
    return 1;
}

std::string interrupted_copy_message(const char* path, const std::string& kept)
{
    return std::string(error_line_program())
        .append(": ")
        .append(printable_name(path))
        .append(": interrupted while copying the output into it; it is incomplete, the whole output is in ")
        .append(printable_name(kept.c_str()))
        .append("\n");
}
