#include "platform/windows_arguments.h"

#include <windows.h>

#include "platform/error_line.h"
#include "platform/file_system.h"
#include "platform/windows_text.h"

namespace {

constexpr int RUN_ARGUMENTS = 5;
constexpr int FIRST_ALPHABET = 3;

// The first character of `text` (one unit, or a surrogate pair) that has no
// byte in the ANSI code page.
std::wstring first_character_outside_ansi(const std::wstring& text)
{
    std::string ignored;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool pair = text[i] >= 0xD800 && text[i] <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
                          text[i + 1] <= 0xDFFF;
        const std::wstring character = text.substr(i, pair ? 2 : 1);
        if (!ansi_from_wide(character, &ignored)) return character;
        if (pair) ++i;
    }
    return std::wstring();
}

bool report_outside_ansi(const char* name, const std::wstring& text)
{
    set_binary_standard_streams();
    const std::string character = utf8_from_wide(first_character_outside_ansi(text).c_str());
    const std::string reason =
        std::string(character).append(" is not in the ANSI code page (").append(std::to_string(GetACP())).append(")");
    write_error_line(name, reason.c_str());
    return false;
}

}  // namespace

bool take_windows_arguments(WindowsArguments* arguments, int argc, wchar_t** argv, int first)
{
    const bool run = argc == first + RUN_ARGUMENTS;
    arguments->strings.clear();
    for (int i = 0; i < argc; ++i) {
        const int position = i - first;
        if (run && position >= FIRST_ALPHABET) {
            std::string bytes;
            if (!ansi_from_wide(argv[i], &bytes)) {
                return report_outside_ansi(position == FIRST_ALPHABET ? "smallChars" : "largeChars", argv[i]);
            }
            arguments->strings.push_back(bytes);
        } else {
            arguments->strings.push_back(utf8_from_wide(argv[i]));
        }
    }
    arguments->pointers.clear();
    for (std::string& text : arguments->strings) arguments->pointers.push_back(text.data());
    arguments->pointers.push_back(nullptr);
    return true;
}
