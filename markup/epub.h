#pragma once
// A book in EPUB: a zip holding its container, its package document and its
// content. Every XHTML content document is marked; every other entry is
// copied as it was, `mimetype` first and stored.

#include <cstddef>
#include <string>
#include <string_view>

// Marks one XHTML content document. `language` is the book's (its first
// dc:language), or empty when it names none. True with the marked document
// in *marked; false when the document is not well-formed XML, which then
// stays as it was.
struct EpubDocumentMarker {
    bool (*mark)(void* context, std::string_view language, std::string_view document, std::string* marked);
    void* context;
};

// Marks the book `book[0 .. size)` (named `name` in warnings) into *out, the
// bytes of the new book. A document left unmarked is named in a warning on
// standard error. False, with a one-line reason in *reason and *out left
// empty, when the book is refused: not a zip, or one that is damaged,
// encrypted, with names that climb out of the book or are absolute,
// duplicate names, or sizes that would exhaust memory.
bool epub_mark(const EpubDocumentMarker* marker, const char* name, const unsigned char* book, std::size_t size,
               std::string* out, std::string* reason);
