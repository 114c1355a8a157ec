#include "markup/markup_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "files/input_file.h"
#include "files/messages.h"
#include "files/output_file.h"
#include "markup/epub.h"
#include "platform/error_line.h"
#include "platform/memory.h"
#include "utf8/utf8_decode.h"

namespace {

bool is_standard(const char* name)
{
    return name[0] == '-' && name[1] == '\0';
}

bool ends_with_letters(const std::string& name, const char* ending)
{
    const std::size_t length = std::strlen(ending);
    if (name.size() < length) return false;
    for (std::size_t k = 0; k < length; ++k) {
        char c = name[name.size() - length + k];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        if (c != ending[k]) return false;
    }
    return true;
}

// The line (from 1) of byte `at` of `bytes`.
std::uint64_t line_at(const unsigned char* bytes, std::size_t at)
{
    return 1 + static_cast<std::uint64_t>(std::count(bytes, bytes + at, '\n'));
}

// Where `bytes` stop being UTF-8: false with the line (from 1) and offset.
bool check_utf8(const unsigned char* bytes, std::size_t size, std::uint64_t* line, std::uint64_t* offset)
{
    for (std::size_t at = 0; at < size;) {
        // Eight bytes of ASCII at a time.
        std::uint64_t eight = 0;
        if (size - at >= 8) std::memcpy(&eight, bytes + at, 8);
        if (size - at >= 8 && (eight & 0x8080808080808080ull) == 0) {
            at += 8;
            continue;
        }
        if (bytes[at] < 0x80) {
            ++at;
            continue;
        }
        std::uint32_t cp = 0;
        const int length = utf8_decode(bytes + at, size - at, &cp);
        if (length <= 0) {
            *line = line_at(bytes, at);
            *offset = at;
            return false;
        }
        at += static_cast<std::size_t>(length);
    }
    return true;
}


// Marks one XHTML document of a book in its language.
struct BookContext {
    const MarkupJob* job;
};

bool mark_book_document(void* context, std::string_view language, std::string_view document, std::string* marked)
{
    const BookContext* book = static_cast<const BookContext*>(context);
    MarkupJob job = *book->job;
    job.syntax = MarkupSyntax::xml;
    if (!language.empty()) job.language = markup_language(language);
    std::uint64_t malformed_at = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(document.data());
    std::uint64_t line = 0;
    std::uint64_t offset = 0;
    if (!check_utf8(bytes, document.size(), &line, &offset)) return false;
    return markup_mark(&job, bytes, document.size(), marked, &malformed_at);
}

int write_result(const char* in_file, const char* out_file, const std::string& marked)
{
    if (is_standard(out_file)) {
        if (std::fwrite(marked.data(), 1, marked.size(), stdout) != marked.size() || std::fflush(stdout) != 0) {
            return report_file_error("standard output", errno != 0 ? errno : EIO);
        }
        return 0;
    }
    int error = 0;
    std::string kept;
    if (!write_output_file(out_file, is_standard(in_file) ? "" : in_file,
                           reinterpret_cast<const unsigned char*>(marked.data()),
                           static_cast<std::int64_t>(marked.size()), &error, &kept)) {
        return report_output_error(out_file, error, kept);
    }
    return 0;
}

}  // namespace

MarkupFormat format_of_name(const char* name)
{
    const std::string text(name);
    if (ends_with_letters(text, ".html") || ends_with_letters(text, ".htm")) return MarkupFormat::html;
    if (ends_with_letters(text, ".xhtml") || ends_with_letters(text, ".xht") || ends_with_letters(text, ".xml")) {
        return MarkupFormat::xhtml;
    }
    if (ends_with_letters(text, ".epub")) return MarkupFormat::epub;
    return MarkupFormat::text;
}

int markup_mark_file(const MarkupJob* job, MarkupFormat format, const char* in_file, const char* out_file)
{
    const char* in_name = is_standard(in_file) ? "standard input" : in_file;
    FileBytes input{nullptr, 0};
    int error = 0;
    const bool read = is_standard(in_file) ? read_open_file(stdin, &input, &error)
                                           : read_input_file(in_file, &input, &error);
    if (!read) return report_file_error(in_name, error);
    const auto* bytes = input.bytes;
    const std::size_t size = static_cast<std::size_t>(input.size);
    std::string marked;
    int code = 0;
    if (format == MarkupFormat::epub) {
        BookContext context{job};
        const EpubDocumentMarker marker{mark_book_document, &context};
        std::string reason;
        if (!epub_mark(&marker, printable_name(in_name).c_str(), bytes, size, &marked, &reason)) {
            write_error_line(printable_name(in_name).c_str(), reason.c_str());
            code = 1;
        }
    } else {
        std::uint64_t line = 0;
        std::uint64_t offset = 0;
        std::uint64_t malformed_at = 0;
        MarkupJob own = *job;
        own.syntax = format == MarkupFormat::xhtml ? MarkupSyntax::xml : MarkupSyntax::html;
        if (!check_utf8(bytes, size, &line, &offset)) {
            const std::string reason =
                "not UTF-8 at line " + std::to_string(line) + ", byte offset " + std::to_string(offset);
            write_error_line(printable_name(in_name).c_str(), reason.c_str());
            code = 1;
        } else if (!markup_mark(&own, bytes, size, &marked, &malformed_at)) {
            const std::string reason = "not well-formed XML at line " +
                                       std::to_string(line_at(bytes, static_cast<std::size_t>(malformed_at))) +
                                       ", byte offset " + std::to_string(malformed_at);
            write_error_line(printable_name(in_name).c_str(), reason.c_str());
            code = 1;
        }
    }
    mem_release(input.bytes);
    if (code != 0) return code;
    return write_result(in_file, out_file, marked);
}
