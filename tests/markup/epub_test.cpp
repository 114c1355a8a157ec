// Books built in memory with libzip, marked, and read back.
#include "markup/epub.h"
#include "markup/epub_limits.h"
#include "markup/epub_names.h"
#include "platform/error_line.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::string name;
    std::string data;
    zip_int32_t method = ZIP_CM_DEFLATE;
    bool encrypted = false;
};

std::string make_zip(const std::vector<Entry>& entries)
{
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(buffer);
    zip_t* archive = zip_open_from_source(buffer, ZIP_TRUNCATE, &error);
    EXPECT_NE(archive, nullptr);
    for (const Entry& entry : entries) {
        zip_source_t* source = zip_source_buffer(archive, entry.data.data(), entry.data.size(), 0);
        const zip_int64_t index = zip_file_add(archive, entry.name.c_str(), source, 0);
        EXPECT_GE(index, 0) << entry.name;
        EXPECT_EQ(zip_set_file_compression(archive, zip_uint64_t(index), entry.method, 0), 0);
        if (entry.encrypted) {
            EXPECT_EQ(zip_file_set_encryption(archive, zip_uint64_t(index), ZIP_EM_TRAD_PKWARE, "secret"), 0);
        }
    }
    EXPECT_EQ(zip_close(archive), 0);
    zip_stat_t stat;
    zip_source_stat(buffer, &stat);
    std::string bytes(stat.size, '\0');
    zip_source_open(buffer);
    zip_source_read(buffer, bytes.data(), stat.size);
    zip_source_close(buffer);
    zip_source_free(buffer);
    return bytes;
}

std::vector<Entry> read_zip(const std::string& bytes)
{
    zip_source_t* source = zip_source_buffer_create(bytes.data(), bytes.size(), 0, nullptr);
    zip_t* archive = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, nullptr);
    EXPECT_NE(archive, nullptr);
    std::vector<Entry> entries;
    for (zip_int64_t k = 0; archive != nullptr && k < zip_get_num_entries(archive, 0); ++k) {
        zip_stat_t stat;
        zip_stat_index(archive, zip_uint64_t(k), 0, &stat);
        std::string data(stat.size, '\0');
        zip_file_t* file = zip_fopen_index(archive, zip_uint64_t(k), 0);
        EXPECT_EQ(zip_fread(file, data.data(), stat.size), zip_int64_t(stat.size));
        zip_fclose(file);
        entries.push_back({stat.name, data, zip_int32_t(stat.comp_method)});
    }
    if (archive != nullptr) zip_discard(archive);
    return entries;
}

// Replaces every `from` in `bytes` with `to`, of the same length: names in
// local and central headers, which no checksum covers.
std::string replaced(std::string bytes, const std::string& from, const std::string& to)
{
    for (std::size_t at = bytes.find(from); at != std::string::npos; at = bytes.find(from, at + 1)) {
        bytes.replace(at, from.size(), to);
    }
    return bytes;
}

// `bytes` with a field of the headers of entry `name` set to `value`: in
// its local header at `local_at`, in its central one at `central_at` (0:
// left as it is).
std::string with_field(std::string bytes, const std::string& name, std::size_t local_at, std::size_t central_at,
                       std::uint32_t value, int width)
{
    const struct {
        const char* signature;
        std::size_t name_at, field_at;
    } headers[] = {{"PK\3\4", 30, local_at}, {"PK\1\2", 46, central_at}};
    for (const auto& header : headers) {
        for (std::size_t at = bytes.find(header.signature); header.field_at != 0 && at != std::string::npos;
             at = bytes.find(header.signature, at + 1)) {
            if (bytes.compare(at + header.name_at, name.size(), name) != 0) continue;
            for (int k = 0; k < width; ++k) bytes[at + header.field_at + k] = char(value >> 8 * k & 0xFF);
        }
    }
    return bytes;
}

// `bytes` with the uncompressed size of `name` declared as `size`.
std::string declared_size(const std::string& bytes, const std::string& name, std::uint32_t size)
{
    return with_field(bytes, name, 22, 24, size, 4);
}

// Appends a comment naming the language; refuses documents holding BROKEN.
bool test_mark(void* context, std::string_view language, std::string_view document, std::string* marked)
{
    ++*static_cast<int*>(context);
    if (document.find("BROKEN") != std::string_view::npos) return false;
    *marked = std::string(document) + "<!--" + std::string(language) + "-->";
    return true;
}

const std::string CONTAINER =
    "<?xml version='1.0'?>\n<container xmlns='urn:oasis:names:tc:opendocument:xmlns:container' version='1.0'>"
    "<rootfiles><rootfile full-path=\"OEBPS/content.opf\" media-type=\"application/oebps-package+xml\"/>"
    "</rootfiles></container>";

std::string package(const std::string& items)
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<!DOCTYPE package [<!ENTITY x '>'>]>\n"
           "<opf:package xmlns:opf='http://www.idpf.org/2007/opf' xmlns:dc='http://purl.org/dc/elements/1.1/'>"
           "<opf:metadata><dc:title>T</dc:title><dc:language>\n  de-CH </dc:language><dc:language>en</dc:language>"
           "</opf:metadata><opf:manifest>" + items + "</opf:manifest></opf:package>";
}

std::vector<Entry> normal_book()
{
    const std::string items =
        "<opf:item id='a' href='text/ch1.xhtml' media-type='application/xhtml+xml'/>"
        "<!-- <opf:item id='f' href='text/fake.xhtml' media-type='application/xhtml+xml'/> -->"
        "<opf:item id=\"b\" media-type=\"Application/XHTML+XML\" href=\"./text/ch%202.xhtml#top\"/>"
        "<opf:item id='c' href='../Misc/ch3.xhtml' media-type='application/xhtml+xml'></opf:item>"
        "<opf:item id='d' href='text/bad.xhtml' media-type='application/xhtml+xml'/>"
        "<opf:item id='e' href='text/a&amp;b.xhtml' media-type='application/xhtml+xml'/>"
        "<opf:item id='s' href='style.css' media-type='text/css'/>"
        "<opf:item id='r' href='https://example.com/x.xhtml' media-type='application/xhtml+xml'/>"
        "<opf:item id='m' href='text/missing.xhtml' media-type='application/xhtml+xml'/>";
    std::string image;
    for (int k = 0; k < 3000; ++k) image.push_back(char(k * 7919 % 251));
    return {
        {"mimetype", "application/epub+zip", ZIP_CM_STORE},
        {"META-INF/container.xml", CONTAINER},
        {"OEBPS/content.opf", package(items)},
        {"OEBPS/text/ch1.xhtml", "<html><body><p>Eins</p></body></html>"},
        {"OEBPS/style.css", "p { hyphens: auto }"},
        {"OEBPS/text/ch 2.xhtml", "<html><body><p>Zwei</p></body></html>"},
        {"OEBPS/image.png", image, ZIP_CM_STORE},
        {"Misc/ch3.xhtml", "<html><body><p>Drei</p></body></html>"},
        {"OEBPS/text/bad.xhtml", "<html><body><p>BROKEN</html>"},
        {"OEBPS/text/a&b.xhtml", "<html/>"},
        {"OEBPS/text/fake.xhtml", "<html/>"},
    };
}

struct Marked {
    bool ok;
    std::string out, reason, errors;
    int calls;
};

Marked mark(const std::string& book, const EpubLimits& limits = EPUB_LIMITS)
{
    Marked result{};
    const EpubDocumentMarker marker{test_mark, &result.calls};
    testing::internal::CaptureStderr();
    result.ok = epub_mark_limited(limits, &marker, "book.epub", reinterpret_cast<const unsigned char*>(book.data()),
                                  book.size(), &result.out, &result.reason);
    result.errors = testing::internal::GetCapturedStderr();
    return result;
}

TEST(Epub, MarksTheManifestsDocumentsAndCopiesTheRest)
{
    set_error_line_program("zarnet-utf8");
    const std::vector<Entry> book = normal_book();
    const std::vector<std::string> marked = {"OEBPS/text/ch1.xhtml", "OEBPS/text/ch 2.xhtml", "Misc/ch3.xhtml",
                                             "OEBPS/text/a&b.xhtml"};
    // As written, and with mimetype last and deflated, which the new book
    // puts first and stores.
    std::vector<Entry> moved(book.begin() + 1, book.end());
    moved.push_back({"mimetype", "application/epub+zip", ZIP_CM_DEFLATE});
    for (const std::vector<Entry>& input : {book, moved}) {
        const Marked result = mark(make_zip(input));
        ASSERT_TRUE(result.ok) << result.reason;
        EXPECT_EQ(result.calls, 5);
        EXPECT_EQ(result.errors, "zarnet-utf8: book.epub: OEBPS/text/bad.xhtml: not well-formed XML, left unmarked\n");
        const std::vector<Entry> out = read_zip(result.out);
        ASSERT_EQ(out.size(), book.size());
        EXPECT_EQ(out[0].name, "mimetype");
        EXPECT_EQ(out[0].method, ZIP_CM_STORE);
        std::size_t k = 1;
        for (const Entry& entry : input) {
            if (entry.name == "mimetype") continue;
            const bool is_marked = std::find(marked.begin(), marked.end(), entry.name) != marked.end();
            EXPECT_EQ(out[k].name, entry.name);
            EXPECT_EQ(out[k].data, entry.data + (is_marked ? "<!--de-CH-->" : "")) << entry.name;
            EXPECT_EQ(out[k].method, is_marked ? ZIP_CM_DEFLATE : entry.method) << entry.name;
            ++k;
        }
    }
}

TEST(Epub, RefusesHostileBooksWithAReasonAndNoOutput)
{
    const std::string book = make_zip(normal_book());
    std::vector<Entry> with_extra = normal_book();
    with_extra.push_back({"OEBPS/styl3.css", "q {}"});
    const std::string extra = make_zip(with_extra);
    const auto book_with = [](Entry entry) {
        std::vector<Entry> entries = normal_book();
        entries.push_back(entry);
        return make_zip(entries);
    };
    const auto book_with_package = [](const std::string& opf) {
        std::vector<Entry> entries = normal_book();
        entries[2].data = opf;
        return make_zip(entries);
    };
    std::vector<Entry> no_container = normal_book();
    no_container.erase(no_container.begin() + 1);
    std::vector<Entry> deflated_mimetype = normal_book();
    deflated_mimetype[0].method = ZIP_CM_DEFLATE;
    std::vector<Entry> no_mimetype = normal_book();
    no_mimetype.erase(no_mimetype.begin());
    EpubLimits small = EPUB_LIMITS;
    small.entry_bytes = 2000;
    EpubLimits small_book = EPUB_LIMITS;
    small_book.book_bytes = 4000;

    const struct {
        const char* what;
        std::string bytes;
        const char* reason;
        EpubLimits limits = EPUB_LIMITS;
    } cases[] = {
        {"not a zip", "<html>not a book</html>", "not a zip archive"},
        {"empty", "", "not a zip archive"},
        {"truncated", book.substr(0, book.size() / 2), "not a zip archive, or a truncated one"},
        {"no directory", replaced(book, "PK\1\2", "PK\1\1"), "not a zip archive"},
        {"local header unlike the directory", with_field(book, "OEBPS/style.css", 8, 0, 0, 2), "damaged zip archive"},
        {"climbing", book_with({"../../etc/x.css", "x"}), "../../etc/x.css: entry name climbs out of the book"},
        {"climbing after a folder", book_with({"a/../../x.css", "x"}), "entry name climbs out of the book"},
        {"climbing with backslashes", book_with({"a\\..\\..\\x.css", "x"}), "entry name climbs out of the book"},
        {"absolute", book_with({"/etc/x.css", "x"}), "/etc/x.css: absolute entry name"},
        {"absolute on Windows", book_with({"C:\\x.css", "x"}), "absolute entry name"},
        {"a share on Windows", book_with({"\\\\host\\x.css", "x"}), "absolute entry name"},
        {"duplicate", replaced(extra, "OEBPS/styl3.css", "OEBPS/style.css"), "OEBPS/style.css: two entries of this name"},
        {"duplicate but for case", replaced(extra, "OEBPS/styl3.css", "OEBPS/STYLE.css"),
         "OEBPS/STYLE.css: the name of OEBPS/style.css but for case"},
        {"NUL in a name", replaced(extra, "OEBPS/styl3.css", std::string("OEBPS/styl\0.css", 15)), "an entry name holds a NUL byte"},
        {"encrypted", book_with({"OEBPS/secret.css", "p {}", ZIP_CM_DEFLATE, true}), "OEBPS/secret.css: encrypted"},
        {"zip bomb", book_with({"OEBPS/zeros.bin", std::string(2 * MIB, '\0')}), "OEBPS/zeros.bin: grows more than 200 times"},
        {"entry too large", book, "OEBPS/image.png: larger than 2000 bytes uncompressed", small},
        {"book too large", book, "larger than 4000 bytes uncompressed", small_book},
        {"size declared smaller", declared_size(book, "OEBPS/text/ch1.xhtml", 10), "OEBPS/text/ch1.xhtml: more data than its size says"},
        {"mimetype deflated, its size declared smaller", declared_size(make_zip(deflated_mimetype), "mimetype", 4),
         "mimetype: more data than its size says"},
        {"size declared larger", declared_size(book, "OEBPS/text/ch1.xhtml", 1000), "OEBPS/text/ch1.xhtml"},
        {"no container", make_zip(no_container), "no META-INF/container.xml: not an EPUB book"},
        {"no mimetype", make_zip(no_mimetype), "no mimetype entry"},
        {"garbage package", book_with_package("\x89PNG\r\n\x1a\n garbage"), "OEBPS/content.opf: not a package document"},
        {"binary package", book_with_package(std::string("<package>\0\0", 11)), "OEBPS/content.opf: not well-formed XML"},
        {"unclosed package", book_with_package("<package><item href='a"), "OEBPS/content.opf: not well-formed XML"},
        {"item climbing", book_with_package(package("<item href='../../x.xhtml' media-type='application/xhtml+xml'/>")),
         "OEBPS/content.opf: the item ../../x.xhtml lies outside the book"},
        {"item climbing encoded", book_with_package(package("<item href='%2E%2E/%2e%2e/x.xhtml' media-type='application/xhtml+xml'/>")),
         "lies outside the book"},
        {"item absolute", book_with_package(package("<item href='/x.xhtml' media-type='application/xhtml+xml'/>")),
         "lies outside the book"},
    };
    for (const auto& c : cases) {
        const Marked result = mark(c.bytes, c.limits);
        EXPECT_FALSE(result.ok) << c.what;
        EXPECT_TRUE(result.out.empty()) << c.what;
        EXPECT_NE(result.reason.find(c.reason), std::string::npos) << c.what << ": " << result.reason;
        EXPECT_EQ(result.reason.find('\n'), std::string::npos) << c.what;
        EXPECT_EQ(result.errors, "") << c.what;
    }
}

TEST(Epub, ResolvesHrefsWithinTheBook)
{
    const struct {
        const char* package;
        const char* href;
        HrefTarget target;
        const char* entry;
    } cases[] = {
        {"content.opf", "a.xhtml", HrefTarget::ENTRY, "a.xhtml"},
        {"OPS/content.opf", "a/./b/../c%20d.xhtml#x", HrefTarget::ENTRY, "OPS/a/c d.xhtml"},
        {"OPS/content.opf", "..//x.xhtml", HrefTarget::ENTRY, "x.xhtml"},
        {"OPS/content.opf", "../../x.xhtml", HrefTarget::OUTSIDE, ""},
        {"OPS/content.opf", "%00.xhtml", HrefTarget::OUTSIDE, ""},
        {"OPS/content.opf", "mailto:a@b", HrefTarget::REMOTE, ""},
        {"OPS/content.opf", "a:b/c.xhtml", HrefTarget::REMOTE, ""},
        {"OPS/content.opf", "%zz.xhtml", HrefTarget::ENTRY, "OPS/%zz.xhtml"},
    };
    for (const auto& c : cases) {
        std::string entry;
        EXPECT_EQ(resolve_href(c.package, c.href, &entry), c.target) << c.href;
        if (c.target == HrefTarget::ENTRY) {
            EXPECT_EQ(entry, c.entry) << c.href;
        }
    }
}

}  // namespace
