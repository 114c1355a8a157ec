#include "markup/epub.h"

#include "files/messages.h"
#include "markup/epub_checks.h"
#include "markup/epub_limits.h"
#include "markup/epub_package.h"
#include "platform/error_line.h"

#include <zip.h>

#include <deque>
#include <set>
#include <vector>

namespace {

constexpr const char* MIMETYPE = "mimetype";
constexpr const char* CONTAINER = "META-INF/container.xml";

// zlib's level for the marked documents: its default (6) takes three times as
// long for a book some tenth smaller.
constexpr zip_uint32_t DEFLATE_LEVEL = 3;

// The entry `index`, uncompressed, into *data; no more than its declared
// size is ever held, since a damaged or hostile zip may declare less than
// its data inflates to.
bool read_entry(zip_t* book, zip_uint64_t index, std::string* data, std::string* reason)
{
    zip_stat_t stat;
    zip_file_t* file = nullptr;
    if (zip_stat_index(book, index, 0, &stat) != 0 || (file = zip_fopen_index(book, index, 0)) == nullptr) {
        *reason = entry_label(book, index) + ": " + zip_strerror(book);
        return false;
    }
    const std::size_t declared = std::size_t(stat.size);
    data->resize(declared + 1);
    std::size_t total = 0;
    zip_int64_t got = 0;
    // Reading on to the end once the declared size is in checks the CRC
    // and that nothing more follows.
    while (total <= declared && (got = zip_fread(file, data->data() + total, declared + 1 - total)) > 0) {
        total += std::size_t(got);
    }
    if (got < 0) {
        *reason = entry_label(book, index) + ": " + zip_file_strerror(file);
    } else if (total != declared) {
        *reason = entry_label(book, index) + ": " + (total > declared ? "more" : "less") + " data than its size says";
    }
    zip_fclose(file);
    data->resize(total);
    return got == 0 && total == declared;
}

// Entry `index` of `book` found by its exact name, or -1.
zip_int64_t locate(zip_t* book, const char* name)
{
    return zip_name_locate(book, name, ZIP_FL_ENC_RAW);
}

// Adds entry `index` of `book` to `out` under its name: with `data` null,
// its compressed data as they are, compressed as they were; else `data`,
// compressed with `method`. Its time of change and its attributes go along.
bool add_entry(zip_t* out, zip_t* book, zip_uint64_t index, const std::string* data, zip_int32_t method,
               std::string* reason)
{
    zip_stat_t stat;
    zip_uint8_t system = 0;
    zip_uint32_t attributes = 0;
    if (zip_stat_index(book, index, ZIP_FL_ENC_RAW, &stat) != 0 ||
        zip_file_get_external_attributes(book, index, 0, &system, &attributes) != 0) {
        *reason = entry_label(book, index) + ": " + zip_strerror(book);
        return false;
    }
    zip_source_t* source = data != nullptr ? zip_source_buffer(out, data->data(), data->size(), 0)
                                           : zip_source_zip(out, book, index, 0, 0, -1);
    zip_int64_t added = -1;
    if (source != nullptr && (added = zip_file_add(out, stat.name, source, 0)) < 0) zip_source_free(source);
    if (data == nullptr) method = zip_int32_t(stat.comp_method);
    if (added < 0 || zip_set_file_compression(out, zip_uint64_t(added), method, DEFLATE_LEVEL) != 0 ||
        zip_file_set_external_attributes(out, zip_uint64_t(added), 0, system, attributes) != 0 ||
        zip_file_set_mtime(out, zip_uint64_t(added), stat.mtime, 0) != 0) {
        *reason = entry_label(book, index) + ": " + zip_strerror(out);
        return false;
    }
    return true;
}

// The new book's bytes, once written into its buffer, into *bytes.
bool take_bytes(zip_source_t* buffer, std::string* bytes, std::string* reason)
{
    zip_stat_t stat;
    zip_stat_init(&stat);
    if (zip_source_stat(buffer, &stat) != 0 || (stat.valid & ZIP_STAT_SIZE) == 0 || zip_source_open(buffer) != 0) {
        *reason = std::string("writing the new book: ") + zip_error_strerror(zip_source_error(buffer));
        return false;
    }
    bytes->resize(std::size_t(stat.size));
    const zip_int64_t got = zip_source_read(buffer, bytes->data(), stat.size);
    zip_source_close(buffer);
    if (got < 0 || zip_uint64_t(got) != stat.size) {
        *reason = std::string("writing the new book: ") + zip_error_strerror(zip_source_error(buffer));
        bytes->clear();
        return false;
    }
    return true;
}

// Writes `book` with the documents `documents` marked into *bytes.
// `mimetype` goes first, stored: read here, since libzip, storing a
// compressed entry, would inflate it as far as it goes, not only to its
// declared size.
bool write_book(const EpubDocumentMarker* marker, const char* name, zip_t* book, zip_uint64_t mimetype,
                const std::set<zip_uint64_t>& documents, const std::string& language, std::string* bytes,
                std::string* reason)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_t* out = nullptr;
    if (buffer != nullptr) {
        zip_source_keep(buffer);
        out = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    }
    if (out == nullptr) {
        *reason = std::string("writing the new book: ") + zip_error_strerror(&error);
        zip_error_fini(&error);
        if (buffer != nullptr) zip_source_free(buffer);
        return false;
    }
    zip_error_fini(&error);

    // The marked documents stay in place until the archive is written.
    std::deque<std::string> marked;
    std::vector<std::string> unmarked;
    std::string mimetype_text;
    bool written = read_entry(book, mimetype, &mimetype_text, reason) &&
                   add_entry(out, book, mimetype, &mimetype_text, ZIP_CM_STORE, reason);
    const zip_uint64_t count = zip_uint64_t(zip_get_num_entries(book, 0));
    for (zip_uint64_t k = 0; written && k < count; ++k) {
        if (k == mimetype) continue;
        const std::string* data = nullptr;
        if (documents.count(k) != 0) {
            std::string document;
            marked.emplace_back();
            written = read_entry(book, k, &document, reason);
            if (written && marker->mark(marker->context, language, document, &marked.back())) {
                data = &marked.back();
            } else if (written) {
                unmarked.push_back(entry_label(book, k));
            }
        }
        written = written && add_entry(out, book, k, data, ZIP_CM_DEFLATE, reason);
    }
    if (written && zip_close(out) != 0) {
        *reason = std::string("writing the new book: ") + zip_strerror(out);
        written = false;
    }
    if (!written) zip_discard(out);
    written = written && take_bytes(buffer, bytes, reason);
    zip_source_free(buffer);
    if (written) {
        const std::string book_name = printable_name(name);
        for (const std::string& entry : unmarked) {
            write_error_line(book_name.c_str(), (entry + ": not well-formed XML, left unmarked").c_str());
        }
    }
    return written;
}

}  // namespace

bool epub_mark_limited(const EpubLimits& limits, const EpubDocumentMarker* marker, const char* name,
                       const unsigned char* book, std::size_t size, std::string* out, std::string* reason)
{
    out->clear();
    reason->clear();
    zip_t* archive = nullptr;
    if (!open_checked_book(limits, book, size, &archive, reason)) return false;

    const zip_int64_t mimetype = locate(archive, MIMETYPE);
    const zip_int64_t container = locate(archive, CONTAINER);
    std::string container_text, package_path, package_text;
    zip_int64_t package = -1;
    EpubPackage contents;
    bool ok = false;
    if (mimetype < 0) {
        *reason = "no mimetype entry: not an EPUB book";
    } else if (container < 0) {
        *reason = std::string("no ") + CONTAINER + ": not an EPUB book";
    } else if (read_entry(archive, zip_uint64_t(container), &container_text, reason) &&
               read_container(container_text, &package_path, reason)) {
        package = locate(archive, package_path.c_str());
        if (package < 0) {
            *reason = printable_name(package_path.c_str()) + ", the package document, is missing";
        } else {
            ok = read_entry(archive, zip_uint64_t(package), &package_text, reason) &&
                 read_package(package_text, package_path, &contents, reason);
        }
    }
    if (ok) {
        // The manifest's documents that the book holds, each once.
        std::set<zip_uint64_t> documents;
        for (const std::string& document : contents.documents) {
            const zip_int64_t index = locate(archive, document.c_str());
            if (index >= 0 && index != mimetype && index != container && index != package) {
                documents.insert(zip_uint64_t(index));
            }
        }
        ok = write_book(marker, name, archive, zip_uint64_t(mimetype), documents, contents.language, out, reason);
    }
    zip_discard(archive);
    if (!ok) out->clear();
    return ok;
}

bool epub_mark(const EpubDocumentMarker* marker, const char* name, const unsigned char* book, std::size_t size,
               std::string* out, std::string* reason)
{
    return epub_mark_limited(EPUB_LIMITS, marker, name, book, size, out, reason);
}
