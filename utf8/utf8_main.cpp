#include "utf8/utf8_main.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "files/input_file.h"
#include "files/messages.h"
#include "platform/error_line.h"
#include "platform/file_system.h"
#include "platform/memory.h"
#include "utf8/in_place.h"
#include "utf8/pattern_sets.h"
#include "utf8/utf8_run.h"

namespace {

const char USAGE[] =
    "Usage: zarnet-utf8 [OPTION]... LANG IN OUT\n"
    "  or:  zarnet-utf8 [OPTION]... --in-place LANG FILE...\n"
    "  or:  zarnet-utf8 --list\n"
    "Marks every place where a word of a UTF-8 text may be broken across lines.\n"
    "IN or OUT \"-\" is standard input or output. LANG is a set's name or a BCP 47\n"
    "tag (en, en-GB, de-AT, el, sr-Latn ...); --list shows the sets.\n"
    "  --mark=TEXT       what is put in at a break (default: U+00AD, the soft hyphen)\n"
    "  --left=N          the fewest letters before the first break (default: the language's)\n"
    "  --right=N         the fewest letters after the last break (default: the language's)\n"
    "  --patterns=FILE   TeX patterns in UTF-8 to use instead of LANG's set\n"
    "  --in-place        every FILE is replaced by its marked text\n"
    "  --help            this text\n";

struct Options {
    std::string mark = "\xC2\xAD";
    int left = 0;   // 0: the set's own
    int right = 0;
    const char* patterns = nullptr;
    bool in_place = false;
    bool list = false;
    bool help = false;
    std::vector<const char*> operands;
};

int usage_error(const std::string& problem)
{
    std::fprintf(stderr, "zarnet-utf8: %s\nTry 'zarnet-utf8 --help'.\n", problem.c_str());
    return 1;
}

bool take_count(const char* text, int* count)
{
    char* end = nullptr;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || value < 1 || value > 255) return false;
    *count = static_cast<int>(value);
    return true;
}

// Reads the options; false after reporting a problem.
bool take_options(int argc, char** argv, Options* options)
{
    bool operands_only = false;
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        if (operands_only || arg[0] != '-' || arg[1] == '\0') {
            options->operands.push_back(arg);
            continue;
        }
        const std::string option(arg);
        if (option == "--") {
            operands_only = true;
        } else if (option.rfind("--mark=", 0) == 0) {
            options->mark = option.substr(7);
        } else if (option.rfind("--left=", 0) == 0) {
            if (!take_count(arg + 7, &options->left)) return usage_error("--left takes a number from 1 to 255") == 0;
        } else if (option.rfind("--right=", 0) == 0) {
            if (!take_count(arg + 8, &options->right)) return usage_error("--right takes a number from 1 to 255") == 0;
        } else if (option.rfind("--patterns=", 0) == 0) {
            options->patterns = arg + 11;
        } else if (option == "--in-place") {
            options->in_place = true;
        } else if (option == "--list") {
            options->list = true;
        } else if (option == "--help") {
            options->help = true;
        } else {
            return usage_error("unknown option '" + printable_name(arg) + "'") == 0;
        }
    }
    return true;
}

int list_sets()
{
    for (std::size_t k = 0; k < PATTERN_SET_COUNT; ++k) {
        std::printf("%s\t%s\n", PATTERN_SETS[k].name, PATTERN_SETS[k].language);
    }
    return std::fflush(stdout) == 0 ? 0 : 1;
}

int unknown_language(const char* lang)
{
    std::string names;
    for (std::size_t k = 0; k < PATTERN_SET_COUNT; ++k) names.append(k == 0 ? "" : " ").append(PATTERN_SETS[k].name);
    std::fprintf(stderr, "zarnet-utf8: no pattern set for '%s'; the sets are: %s\n", printable_name(lang).c_str(),
                 names.c_str());
    return 1;
}

}  // namespace

int zarnet_utf8_main(int argc, char** argv)
{
    set_binary_standard_streams();
    set_error_line_program("zarnet-utf8");
    Options options;
    if (!take_options(argc, argv, &options)) return 1;
    if (options.help) {
        std::fputs(USAGE, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    if (options.list) return options.operands.empty() ? list_sets() : usage_error("--list takes no operands");
    const std::size_t wanted = options.in_place ? 2 : 3;
    if (options.operands.size() < wanted || (!options.in_place && options.operands.size() != 3)) {
        return usage_error(options.operands.empty() ? "LANG, IN and OUT are missing" : "wrong number of operands");
    }
    const char* lang = options.operands[0];
    const PatternSet* set = find_pattern_set(lang);
    if (set == nullptr) return unknown_language(lang);

    std::string_view patterns = set->patterns;
    std::string_view exceptions = set->exceptions;
    FileBytes own{nullptr, 0};
    if (options.patterns != nullptr) {
        int error = 0;
        if (!read_input_file(options.patterns, &own, &error)) return report_file_error(options.patterns, error);
        patterns = std::string_view(reinterpret_cast<const char*>(own.bytes), static_cast<std::size_t>(own.size));
        exceptions = std::string_view();
    }
    Utf8Marker* marker = new Utf8Marker;
    utf8_marker_build(marker, patterns, exceptions, options.left != 0 ? options.left : set->left,
                      options.right != 0 ? options.right : set->right, options.mark);
    const int code = options.in_place
                         ? utf8_mark_in_place(marker, options.operands.data() + 1,
                                              static_cast<int>(options.operands.size() - 1))
                         : utf8_mark_file(marker, options.operands[1], options.operands[2], true, true);
    utf8_marker_destroy(marker);
    delete marker;
    mem_release(own.bytes);
    return code;
}
