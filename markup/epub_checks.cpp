#include "markup/epub_checks.h"

#include "files/messages.h"
#include "markup/epub_names.h"
#include "markup/zip_raw_names.h"

#include <unordered_map>

namespace {

// libzip's reason for a zip it cannot open, in the words a user needs.
std::string open_failure(zip_error_t* error)
{
    switch (zip_error_code_zip(error)) {
    case ZIP_ER_NOZIP:
        return "not a zip archive, or a truncated one";
    case ZIP_ER_MEMORY:
        return "out of memory";
    default:
        return std::string("damaged zip archive: ") + zip_error_strerror(error);
    }
}

zip_t* open_book(const unsigned char* book, std::size_t size, int flags, std::string* reason)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(book, size, 0, &error);
    zip_t* archive = source == nullptr ? nullptr : zip_open_from_source(source, flags | ZIP_RDONLY, &error);
    if (archive == nullptr) {
        *reason = open_failure(&error);
        if (source != nullptr) zip_source_free(source);
    }
    zip_error_fini(&error);
    return archive;
}

std::string size_words(std::uint64_t bytes)
{
    return bytes % MIB == 0 ? std::to_string(bytes / MIB) + " MiB" : std::to_string(bytes) + " bytes";
}

// Why the entries of `archive` may not be read, or empty when they may.
std::string entries_fault(const EpubLimits& limits, zip_t* archive)
{
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    if (count < 0 || std::uint64_t(count) > limits.entries) {
        return "more than " + std::to_string(limits.entries) + " entries";
    }
    std::unordered_map<std::string, zip_uint64_t> folded_names;
    std::uint64_t total = 0;
    for (zip_uint64_t k = 0; k < zip_uint64_t(count); ++k) {
        zip_stat_t stat;
        if (zip_stat_index(archive, k, ZIP_FL_ENC_RAW, &stat) != 0 || (stat.valid & ZIP_STAT_NAME) == 0) {
            return std::string("damaged zip archive: ") + zip_strerror(archive);
        }
        const std::string label = entry_label(archive, k);
        if (const char* fault = entry_name_fault(stat.name)) return label + ": " + fault;
        const auto [other, added] = folded_names.emplace(folded_name(stat.name), k);
        if (!added) {
            const std::string first = entry_label(archive, other->second);
            return label + (first == label ? ": two entries of this name" : ": the name of " + first + " but for case");
        }
        if ((stat.valid & ZIP_STAT_ENCRYPTION_METHOD) == 0 || stat.encryption_method != ZIP_EM_NONE) {
            return label + ": encrypted";
        }
        if ((stat.valid & ZIP_STAT_COMP_METHOD) == 0 ||
            (stat.comp_method != ZIP_CM_STORE && stat.comp_method != ZIP_CM_DEFLATE)) {
            return label + ": compressed with a method other than deflate";
        }
        if ((stat.valid & ZIP_STAT_SIZE) == 0 || (stat.valid & ZIP_STAT_COMP_SIZE) == 0) {
            return label + ": no size";
        }
        if (stat.size > limits.entry_bytes) return label + ": larger than " + size_words(limits.entry_bytes) + " uncompressed";
        if (stat.size > limits.ratio_from && stat.size / limits.ratio > stat.comp_size) {
            return label + ": grows more than " + std::to_string(limits.ratio) + " times uncompressed (a zip bomb)";
        }
        total += stat.size;
        if (total > limits.book_bytes) return "larger than " + size_words(limits.book_bytes) + " uncompressed";
    }
    return {};
}

}  // namespace

std::string entry_label(zip_t* archive, zip_uint64_t index)
{
    const char* name = zip_get_name(archive, index, ZIP_FL_ENC_RAW);
    return printable_name(name == nullptr ? "" : name);
}

bool open_checked_book(const EpubLimits& limits, const unsigned char* book, std::size_t size, zip_t** archive,
                       std::string* reason)
{
    *archive = nullptr;
    if (size == 0) {
        *reason = "not a zip archive";
        return false;
    }
    // Read first as libzip reads any zip, for the checks to name the entry
    // at fault (its consistency checks refuse duplicate names unnamed);
    // then with those checks.
    zip_t* plain = open_book(book, size, 0, reason);
    if (plain == nullptr) return false;
    *reason = entries_fault(limits, plain);
    const zip_int64_t count = zip_get_num_entries(plain, 0);
    zip_discard(plain);
    if (!reason->empty()) return false;
    zip_t* checked = open_book(book, size, ZIP_CHECKCONS, reason);
    if (checked == nullptr) return false;
    switch (scan_raw_names(book, size, std::uint64_t(count))) {
    case RawNames::CLEAN:
        *archive = checked;
        return true;
    case RawNames::NUL_IN_NAME:
        *reason = "an entry name holds a NUL byte";
        break;
    case RawNames::UNREADABLE:
        *reason = "damaged zip archive: its directory is not where its end record says";
        break;
    }
    zip_discard(checked);
    return false;
}
