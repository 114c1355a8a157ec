#pragma once
// Reads an HTML or XHTML document for marking: which of its bytes are text a
// reader sees, in which language, and what that text spells. The text of
// each language becomes one UTF-8 text to mark, with a map from its bytes
// back to the document's; what is not text content (tags, comments,
// references, the contents of skipped elements) never enters it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class MarkupSyntax { html, xml };

// A stretch of a language's text and where it stands in the document:
// the document's own bytes, or a whole that spells the text in another way
// (a character reference, a break opportunity), where a mark after its last
// byte goes after it in the document.
struct TextRun {
    std::uint64_t text_at;
    std::uint64_t document_at;
    std::uint32_t text_length;
    std::uint32_t document_length;
    bool whole;
};

// All the text of one language, in the order of the document. Where the
// document puts something between two stretches that ends a word (a block,
// a skipped element, text in another language), the text has a line end.
struct LanguageText {
    const void* language;  // the caller's key for it
    std::string text;
    std::vector<TextRun> runs;
    std::uint64_t seen_breaks;  // the document's count of word ends when text was last added
};

struct MarkupRules {
    MarkupSyntax syntax;
    std::vector<std::string> skip_names;    // elements whose contents get no marks, besides the usual ones
    std::vector<std::string> skip_classes;  // and classes
    // The key of the language a `lang` value names, or null for one without
    // marks (an unknown language, "zxx", "").
    const void* (*language_of)(void* context, std::string_view tag);
    void* context;
    const void* language;  // of text that no `lang` covers (null: none)
};

struct MarkupScan {
    std::vector<LanguageText> texts;
    // XML only: the document is not well-formed, and where (a byte offset).
    bool malformed;
    std::uint64_t malformed_at;
};

// Reads the UTF-8 document `document[0 .. size)`. HTML is read as a browser
// reads it, whatever its faults; XML that is not well-formed leaves
// `malformed` set and no texts.
void markup_scan(MarkupScan* scan, const MarkupRules* rules, const unsigned char* document, std::size_t size);
