#pragma once
// A small scanner of XML for the few elements and attributes a book's
// container and package document are read for: start and end tags with
// their names, text, and attribute values with their references replaced.
// Comments, processing instructions and the doctype are passed over. It
// checks that every tag, comment and quoted value ends; nothing more of
// well-formedness.

#include <cstddef>
#include <string>
#include <string_view>

enum class XmlKind { START, END, TEXT };

struct XmlToken {
    XmlKind kind;
    std::string_view name;        // START and END, with any prefix
    std::string_view attributes;  // START: the bytes between the name and `>` or `/>`
    std::string_view text;        // TEXT: as written (CDATA: its contents)
    bool cdata;                   // TEXT from a CDATA section, whose text holds no references
    bool empty;                   // START written as `<name/>`
};

struct XmlScanner {
    std::string_view text;
    std::size_t at;
};

enum class XmlStep { TOKEN, DONE, MALFORMED };

// The next token of scanner->text from scanner->at.
XmlStep xml_next(XmlScanner* scanner, XmlToken* token);

// `name` without its namespace prefix.
std::string_view xml_local_name(std::string_view name);

// The value of the attribute whose local name is `local` in a START token's
// attributes, its references replaced. False when there is none, or when
// it is not well-formed.
bool xml_attribute(std::string_view attributes, std::string_view local, std::string* value);

// `raw` with the five named references and the character references
// replaced, appended to *out. False on an unknown or broken reference.
bool xml_append_decoded(std::string_view raw, std::string* out);

// The XML text `raw` in UTF-8 into *text: as it is, without a UTF-8 byte
// order mark, or converted from UTF-16 with its mark. False on broken
// UTF-16 and on NUL, which XML text never holds.
bool xml_utf8_text(std::string_view raw, std::string* text);
