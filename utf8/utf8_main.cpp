#include "utf8/utf8_main.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "files/input_file.h"
#include "files/messages.h"
#include "platform/error_line.h"
#include "platform/file_system.h"
#include "platform/memory.h"
#include "markup/markup_file.h"
#include "utf8/in_place.h"
#include "utf8/pattern_sets.h"
#include "utf8/utf8_run.h"

namespace {

const char USAGE[] =
    "Usage: zarnet-utf8 [OPTION]... LANG IN OUT\n"
    "  or:  zarnet-utf8 [OPTION]... --in-place LANG FILE...\n"
    "  or:  zarnet-utf8 --list\n"
    "Marks every place where a word of a UTF-8 text, web page or e-book may be\n"
    "broken across lines.\n"
    "IN or OUT \"-\" is standard input or output. LANG is a set's name or a BCP 47\n"
    "tag (en, en-GB, de-AT, el, sr-Latn ...); --list shows the sets. In a page or a\n"
    "book, LANG is the language of text that no lang attribute covers.\n"
    "  --format=FORMAT   text, html, xhtml or epub (default: from IN's name: .html\n"
    "                    .htm, .xhtml .xht .xml, .epub; else text)\n"
    "  --skip=NAME,.CLASS,...  elements and classes whose text gets no marks, besides\n"
    "                    head, script, style, pre, code, kbd, samp, var, textarea,\n"
    "                    math, svg and template\n"
    "  --mark=TEXT       what is put in at a break (default: U+00AD, the soft hyphen;\n"
    "                    in html also &shy;)\n"
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
    bool format_given = false;
    MarkupFormat format = MarkupFormat::text;
    std::vector<std::string> skip_names;
    std::vector<std::string> skip_classes;
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
        } else if (option.rfind("--format=", 0) == 0) {
            const std::string format = option.substr(9);
            options->format_given = true;
            if (format == "text") {
                options->format = MarkupFormat::text;
            } else if (format == "html") {
                options->format = MarkupFormat::html;
            } else if (format == "xhtml") {
                options->format = MarkupFormat::xhtml;
            } else if (format == "epub") {
                options->format = MarkupFormat::epub;
            } else {
                return usage_error("--format takes text, html, xhtml or epub") == 0;
            }
        } else if (option.rfind("--skip=", 0) == 0) {
            std::string_view list(arg + 7);
            while (!list.empty()) {
                const std::size_t comma = list.find(',');
                std::string item(list.substr(0, comma));
                list.remove_prefix(comma == std::string_view::npos ? list.size() : comma + 1);
                if (item.empty()) continue;
                if (item[0] == '.') {
                    // Classes keep their case; element names are matched in lower case.
                    if (item.size() > 1) options->skip_classes.push_back(item.substr(1));
                } else {
                    for (char& c : item) c = (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c;
                    options->skip_names.push_back(item);
                }
            }
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

bool is_standard(const char* name)
{
    return name[0] == '-' && name[1] == '\0';
}

// Whether `tag` has the shape of a BCP 47 language tag: a primary subtag of
// 2 to 8 letters, then subtags of 1 to 8 letters and digits.
bool is_language_tag(const char* tag)
{
    std::size_t length = 0;
    bool first = true;
    for (const char* at = tag;; ++at) {
        const char c = *at;
        if (c == '\0' || c == '-' || c == '_') {
            if (length == 0 || length > 8 || (first && length < 2)) return false;
            if (c == '\0') return true;
            first = false;
            length = 0;
            continue;
        }
        const bool letter = (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
        if (!letter && !(!first && c >= '0' && c <= '9')) return false;
        ++length;
    }
}

// A named reference ("&shy;") in the mark: XML defines none.
bool has_named_reference(const std::string& mark)
{
    for (std::size_t at = mark.find('&'); at != std::string::npos; at = mark.find('&', at + 1)) {
        std::size_t end = at + 1;
        while (end < mark.size() && ((mark[end] | 0x20) >= 'a' && (mark[end] | 0x20) <= 'z')) ++end;
        if (end > at + 1 && end < mark.size() && mark[end] == ';') return true;
    }
    return false;
}

// What a run marks with: the set of LANG, or the user's patterns for it.
struct Run {
    const Options* options;
    const PatternSet* set;
    Utf8Marker* text_marker;  // for text; null when no file is text
    MarkupMarkers markers;
    MarkupJob job;
};

MarkupFormat format_of(const Run& run, const char* in_file)
{
    if (run.options->format_given) return run.options->format;
    return is_standard(in_file) ? MarkupFormat::text : format_of_name(in_file);
}

int mark_one(Run* run, const char* in_file, const char* out_file, bool threads, bool first)
{
    const MarkupFormat format = format_of(*run, in_file);
    if (format == MarkupFormat::text) return utf8_mark_file(run->text_marker, in_file, out_file, threads, first);
    if (format != MarkupFormat::html && has_named_reference(run->options->mark)) {
        const std::string name = printable_name(is_standard(in_file) ? "standard input" : in_file);
        write_error_line(name.c_str(), "the mark holds a named reference, which XML does not define (use &#173;)");
        return 1;
    }
    return markup_mark_file(&run->job, format, in_file, out_file);
}

int mark_in_its_place(void* context, const char* file)
{
    return mark_one(static_cast<Run*>(context), file, file, false, false);
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
    if (options.format_given && (options.format == MarkupFormat::xhtml || options.format == MarkupFormat::epub) &&
        has_named_reference(options.mark)) {
        return usage_error("in xhtml and epub the mark cannot hold a named reference (use &#173;)");
    }
    const char* lang = options.operands[0];
    const PatternSet* set = find_pattern_set(lang);
    const char* const* files = options.operands.data() + 1;
    const int count = static_cast<int>(options.operands.size() - 1);
    if (set == nullptr && options.patterns != nullptr) return unknown_language(lang);

    // The patterns the user gave instead of LANG's set.
    std::string_view patterns;
    FileBytes own{nullptr, 0};
    if (options.patterns != nullptr) {
        int error = 0;
        if (!read_input_file(options.patterns, &own, &error)) return report_file_error(options.patterns, error);
        patterns = std::string_view(reinterpret_cast<const char*>(own.bytes), static_cast<std::size_t>(own.size));
    }
    Run* run = new Run;
    run->options = &options;
    run->set = set;
    run->text_marker = nullptr;
    run->markers.left = options.left;
    run->markers.right = options.right;
    run->markers.own_set = options.patterns != nullptr ? set : nullptr;
    run->markers.own_patterns = patterns;
    run->markers.shared = options.in_place;
    run->job = MarkupJob{&run->markers, MarkupSyntax::html, options.mark, options.skip_names, options.skip_classes, set};
    bool any_text = false;
    for (int k = 0; k < (options.in_place ? count : 1); ++k) any_text = any_text || format_of(*run, files[k]) == MarkupFormat::text;
    // A page or book may be in a language without a set (Chinese, "zxx"):
    // then only its parts in other languages get marks.
    if (set == nullptr && (any_text || !is_language_tag(lang))) {
        delete run;
        return unknown_language(lang);
    }
    if (any_text) {
        run->text_marker = new Utf8Marker;
        utf8_marker_build_for(run->text_marker, set, options.patterns != nullptr, patterns, options.left,
                              options.right, options.mark);
    }
    int code = 0;
    if (options.in_place) {
        const InPlaceWork work{mark_in_its_place, run};
        const bool one_thread = run->text_marker != nullptr && !engine_share(&run->text_marker->engine);
        code = mark_in_place(&work, files, count, one_thread);
    } else {
        code = mark_one(run, files[0], files[1], true, true);
    }
    if (run->text_marker != nullptr) {
        utf8_marker_destroy(run->text_marker);
        delete run->text_marker;
    }
    markup_markers_destroy(&run->markers);
    delete run;
    mem_release(own.bytes);
    return code;
}
