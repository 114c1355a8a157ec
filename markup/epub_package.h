#pragma once
// What a book's container and package document are read for: where the
// package document is, the book's language and its XHTML content documents.

#include <string>
#include <string_view>
#include <vector>

// The path of the package document that the container (the text of
// META-INF/container.xml) names, into *path. False, with the reason, when
// the container is not well-formed or names none.
bool read_container(std::string_view container, std::string* path, std::string* reason);

struct EpubPackage {
    std::string language;                // the first dc:language, trimmed; empty when none
    std::vector<std::string> documents;  // the entries of the XHTML items of the manifest
};

// Reads the package document `text`, the entry `path`. False, with the
// reason, when it is not well-formed, is not a package document, or has
// an item whose href leaves the book.
bool read_package(std::string_view text, std::string_view path, EpubPackage* package, std::string* reason);
