#include "markup/markup_scan.h"

#include <cstring>

#include "markup/elements.h"
#include "markup/references.h"

namespace {

struct Element {
    std::string name;   // to match end tags: in HTML in lower case, in XML as written
    std::string local;  // in lower case, without a prefix
    std::uint8_t flags; // what it is to marking (ELEMENT_)
    const void* language;
    bool skipped;
    bool foreign;  // inside svg or math
};

struct Attributes {
    bool has_lang = false;
    bool has_xml_lang = false;
    std::string_view lang;
    std::string_view xml_lang;
    std::string_view classes;
    bool self_closing = false;
};

struct Scanner {
    const MarkupRules* rules;
    MarkupScan* scan;
    const unsigned char* document;
    std::size_t size;
    std::string_view whole;
    bool xml;
    bool doctype;    // XML: the document has a DOCTYPE, which may declare HTML's names
    bool root_seen;  // XML: its root element has begun
    std::vector<Element> open;
    std::uint64_t breaks;  // word ends so far
    const void* last_language;
    bool failed;
    std::size_t failed_at;
};

constexpr std::size_t NONE = std::string_view::npos;

bool is_space(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool is_alpha(unsigned char c)
{
    return (c | 0x20) >= 'a' && (c | 0x20) <= 'z';
}

char lower(char c)
{
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c;
}

std::string lower_case(std::string_view text)
{
    std::string result(text);
    for (char& c : result) c = lower(c);
    return result;
}

bool same_letters(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        if (lower(a[k]) != lower(b[k])) return false;
    }
    return true;
}

void fail(Scanner* s, std::size_t at)
{
    if (!s->failed) s->failed_at = at;
    s->failed = true;
}

const void* current_language(const Scanner& s)
{
    return s.open.empty() ? s.rules->language : s.open.back().language;
}

bool current_skipped(const Scanner& s)
{
    return !s.open.empty() && s.open.back().skipped;
}

bool current_foreign(const Scanner& s)
{
    return !s.open.empty() && s.open.back().foreign;
}

void word_end(Scanner* s)
{
    ++s->breaks;
}

LanguageText* text_for(Scanner* s, const void* language)
{
    for (LanguageText& text : s->scan->texts) {
        if (text.language == language) return &text;
    }
    s->scan->texts.push_back(LanguageText{language, {}, {}, s->breaks});
    return &s->scan->texts.back();
}

// Text a reader sees: `length` bytes spelled by the document's bytes from
// `at` on (`document_length` of them), in the language around them.
void add_text(Scanner* s, std::size_t at, std::size_t document_length, const unsigned char* bytes, std::size_t length,
              bool whole)
{
    const void* language = current_language(*s);
    if (current_skipped(*s) || language == nullptr) {
        word_end(s);
        s->last_language = nullptr;
        return;
    }
    if (language != s->last_language) {
        word_end(s);
        s->last_language = language;
    }
    LanguageText* text = text_for(s, language);
    if (text->seen_breaks != s->breaks && !text->text.empty()) text->text.push_back('\n');
    text->seen_breaks = s->breaks;
    const std::uint64_t text_at = text->text.size();
    text->text.append(reinterpret_cast<const char*>(bytes), length);
    if (!whole && !text->runs.empty()) {
        TextRun& last = text->runs.back();
        if (!last.whole && last.text_at + last.text_length == text_at && last.document_at + last.document_length == at &&
            last.text_length + length < (std::uint64_t{1} << 31)) {
            last.text_length += static_cast<std::uint32_t>(length);
            last.document_length += static_cast<std::uint32_t>(length);
            return;
        }
    }
    text->runs.push_back(TextRun{text_at, at, static_cast<std::uint32_t>(length),
                                 static_cast<std::uint32_t>(document_length), whole});
}

// The text document[from .. to), with its character references.
void read_text(Scanner* s, std::size_t from, std::size_t to)
{
    if (s->xml && s->open.empty()) {
        // Outside the root element only white space may stand.
        for (std::size_t at = from; at < to; ++at) {
            if (!is_space(s->document[at])) return fail(s, at);
        }
        return;
    }
    const MarkupSyntax syntax = s->xml ? MarkupSyntax::xml : MarkupSyntax::html;
    while (from < to) {
        const void* found = std::memchr(s->document + from, '&', to - from);
        const std::size_t stop = found != nullptr ? static_cast<std::size_t>(static_cast<const unsigned char*>(found) - s->document) : to;
        if (stop > from) add_text(s, from, stop - from, s->document + from, stop - from, false);
        if (stop == to) return;
        unsigned char spelled[8];
        std::size_t spelled_length = 0;
        const int used = read_reference(s->document + stop, to - stop, syntax, s->doctype, spelled, &spelled_length);
        if (used < 0) return fail(s, stop);
        if (used == 0) {
            add_text(s, stop, 1, s->document + stop, 1, false);
            from = stop + 1;
            continue;
        }
        add_text(s, stop, static_cast<std::size_t>(used), spelled, spelled_length, true);
        from = stop + static_cast<std::size_t>(used);
    }
}

std::size_t skip_space(const Scanner& s, std::size_t at)
{
    while (at < s.size && is_space(s.document[at])) ++at;
    return at;
}

void note_attribute(Attributes* attributes, std::string_view name, std::string_view value, bool xml)
{
    if (xml ? name == "xml:lang" : same_letters(name, "xml:lang")) {
        if (!attributes->has_xml_lang) attributes->xml_lang = value;
        attributes->has_xml_lang = true;
    } else if (xml ? name == "lang" : same_letters(name, "lang")) {
        if (!attributes->has_lang) attributes->lang = value;
        attributes->has_lang = true;
    } else if (xml ? name == "class" : same_letters(name, "class")) {
        if (attributes->classes.empty()) attributes->classes = value;
    }
}

// Reads a tag's attributes from `at` to its ">": the place after it, or
// NONE when the document ends first (or, in XML, the tag is not well-formed).
std::size_t read_attributes(Scanner* s, std::size_t at, Attributes* attributes)
{
    const unsigned char* d = s->document;
    for (;;) {
        at = skip_space(*s, at);
        if (at >= s->size) return NONE;
        if (d[at] == '>') return at + 1;
        if (d[at] == '/') {
            if (at + 1 < s->size && d[at + 1] == '>') {
                attributes->self_closing = true;
                return at + 2;
            }
            if (s->xml) return fail(s, at), NONE;
            ++at;
            continue;
        }
        const std::size_t name_from = at++;
        while (at < s->size && !is_space(d[at]) && d[at] != '/' && d[at] != '>' && d[at] != '=') ++at;
        const std::string_view name = s->whole.substr(name_from, at - name_from);
        if (s->xml && d[name_from] == '=') return fail(s, name_from), NONE;
        at = skip_space(*s, at);
        std::string_view value;
        if (at < s->size && d[at] == '=') {
            at = skip_space(*s, at + 1);
            if (at >= s->size) return NONE;
            if (d[at] == '"' || d[at] == '\'') {
                const std::size_t end = s->whole.find(static_cast<char>(d[at]), at + 1);
                if (end == NONE) return s->xml ? (fail(s, at), NONE) : NONE;
                value = s->whole.substr(at + 1, end - at - 1);
                at = end + 1;
            } else {
                if (s->xml) return fail(s, at), NONE;
                const std::size_t value_from = at;
                while (at < s->size && !is_space(d[at]) && d[at] != '>') ++at;
                value = s->whole.substr(value_from, at - value_from);
            }
            if (s->xml) {
                // No "<" in a value, and every "&" a reference.
                for (std::size_t k = 0; k < value.size(); ++k) {
                    const std::size_t place = static_cast<std::size_t>(value.data() - s->whole.data()) + k;
                    if (value[k] == '<') return fail(s, place), NONE;
                    if (value[k] != '&') continue;
                    unsigned char spelled[8];
                    std::size_t spelled_length = 0;
                    if (read_reference(d + place, value.size() - k, MarkupSyntax::xml, s->doctype, spelled,
                                       &spelled_length) < 0) {
                        return fail(s, place), NONE;
                    }
                }
            }
        } else if (s->xml) {
            return fail(s, at), NONE;
        }
        note_attribute(attributes, name, value, s->xml);
    }
}

bool has_class(std::string_view classes, const std::vector<std::string>& wanted)
{
    std::size_t at = 0;
    while (at < classes.size()) {
        while (at < classes.size() && is_space(static_cast<unsigned char>(classes[at]))) ++at;
        std::size_t end = at;
        while (end < classes.size() && !is_space(static_cast<unsigned char>(classes[end]))) ++end;
        for (const std::string& name : wanted) {
            if (end > at && classes.substr(at, end - at) == name) return true;
        }
        at = end;
    }
    return false;
}

bool among(const std::vector<std::string>& names, std::string_view name)
{
    for (const std::string& candidate : names) {
        if (candidate == name) return true;
    }
    return false;
}

// HTML's start tags that end open elements: a paragraph, a list item, the head.
void close_implied(Scanner* s, std::string_view name, std::uint8_t flags)
{
    static constexpr std::string_view HEAD_CONTENT[] = {"base", "basefont", "bgsound", "link",  "meta",
                                                         "noscript", "script", "style", "template", "title"};
    if (!s->open.empty() && s->open.back().local == "head") {
        bool in_head = false;
        for (std::string_view kept : HEAD_CONTENT) in_head = in_head || kept == name;
        if (!in_head) s->open.pop_back();
    }
    const bool item = name == "li";
    const bool term = name == "dd" || name == "dt";
    for (std::size_t k = s->open.size(); (item || term) && k-- > 0;) {
        const Element& open = s->open[k];
        if ((item && open.local == "li") || (term && (open.local == "dd" || open.local == "dt"))) {
            s->open.resize(k);
            break;
        }
        if ((open.flags & ELEMENT_INLINE) == 0 && open.local != "address" && open.local != "div" && open.local != "p") break;
    }
    if ((flags & ELEMENT_CLOSES_PARAGRAPH) == 0) return;
    for (std::size_t k = s->open.size(); k-- > 0;) {
        if (s->open[k].local == "p") {
            s->open.resize(k);
            break;
        }
        if ((s->open[k].flags & ELEMENT_INLINE) == 0) break;
    }
}

// Where the contents of HTML's raw text element `name` end: its end tag.
std::size_t raw_text_end(const Scanner& s, std::size_t at, std::string_view name)
{
    if (name == "plaintext") return s.size;
    for (;;) {
        at = s.whole.find("</", at);
        if (at == NONE) return s.size;
        const std::size_t after = at + 2 + name.size();
        if (after <= s.size && same_letters(s.whole.substr(at + 2, name.size()), name) &&
            (after == s.size || is_space(s.document[after]) || s.document[after] == '/' || s.document[after] == '>')) {
            return at;
        }
        at += 2;
    }
}

std::string_view tag_name(const Scanner& s, std::size_t at)
{
    std::size_t end = at;
    while (end < s.size && !is_space(s.document[end]) && s.document[end] != '/' && s.document[end] != '>') ++end;
    return s.whole.substr(at, end - at);
}

std::string local_name(std::string_view name)
{
    const std::size_t colon = name.rfind(':');
    return lower_case(colon == NONE ? name : name.substr(colon + 1));
}

// A start tag at `at` ("<" and a letter): the place after it.
std::size_t read_start_tag(Scanner* s, std::size_t at)
{
    const std::string_view name = tag_name(*s, at + 1);
    const std::string local = local_name(name);
    Attributes attributes;
    const std::size_t end = read_attributes(s, at + 1 + name.size(), &attributes);
    if (end == NONE) {
        if (s->xml) fail(s, at);
        return s->size;
    }
    const bool foreign = current_foreign(*s);
    const std::uint8_t flags = element_flags(local);
    if (!s->xml && !foreign) close_implied(s, local, flags);
    if (s->xml && s->open.empty()) {
        if (s->root_seen) return fail(s, at), s->size;
        s->root_seen = true;
    }
    if (local == "wbr") {
        // A break opportunity in a word: it counts as the author's soft hyphen.
        add_text(s, end, 0, reinterpret_cast<const unsigned char*>("\xC2\xAD"), 2, true);
    } else if ((flags & ELEMENT_INLINE) == 0) {
        word_end(s);
    }
    Element element{s->xml ? std::string(name) : lower_case(name), local, flags, current_language(*s), current_skipped(*s),
                    foreign || local == "svg" || local == "math"};
    const std::string_view lang = attributes.has_xml_lang ? attributes.xml_lang : attributes.lang;
    if (attributes.has_xml_lang || attributes.has_lang) {
        element.language = s->rules->language_of(s->rules->context, lang);
    }
    element.skipped = element.skipped || (flags & ELEMENT_SKIPPED) != 0 || among(s->rules->skip_names, local) ||
                      (!attributes.classes.empty() && has_class(attributes.classes, s->rules->skip_classes));
    const bool empty = s->xml || foreign ? attributes.self_closing : (flags & ELEMENT_VOID) != 0;
    if (empty) return end;
    s->open.push_back(std::move(element));
    if (s->xml || foreign || (flags & ELEMENT_RAW_TEXT) == 0) return end;
    // Its contents are text, and no text to mark.
    const std::size_t contents_end = raw_text_end(*s, end, local);
    if (contents_end > end) word_end(s);
    return contents_end;
}

// An end tag at `at` ("</"): the place after it.
std::size_t read_end_tag(Scanner* s, std::size_t at)
{
    const std::string_view name = tag_name(*s, at + 2);
    Attributes ignored;
    const std::size_t end = s->xml ? (skip_space(*s, at + 2 + name.size()) < s->size &&
                                              s->document[skip_space(*s, at + 2 + name.size())] == '>'
                                          ? skip_space(*s, at + 2 + name.size()) + 1
                                          : NONE)
                                   : read_attributes(s, at + 2 + name.size(), &ignored);
    if (end == NONE) {
        if (s->xml) fail(s, at);
        return s->size;
    }
    const std::string local = local_name(name);
    if ((element_flags(local) & ELEMENT_INLINE) == 0) word_end(s);
    if (s->xml) {
        if (s->open.empty() || s->open.back().name != name) return fail(s, at), s->size;
        s->open.pop_back();
        return end;
    }
    const std::string lowered = lower_case(name);
    for (std::size_t k = s->open.size(); k-- > 0;) {
        if (s->open[k].name == lowered) {
            s->open.resize(k);
            break;
        }
    }
    return end;
}

// The end of what starts at `at` and ends with `close`, or the document's end
// (in XML, a fault) when nothing closes it.
std::size_t until(Scanner* s, std::size_t at, std::size_t from, std::string_view close)
{
    const std::size_t found = s->whole.find(close, from);
    if (found != NONE) return found + close.size();
    if (s->xml) fail(s, at);
    return s->size;
}

// A DOCTYPE in XML, whose internal subset may hold ">" in brackets and quotes.
std::size_t read_doctype(Scanner* s, std::size_t at)
{
    s->doctype = true;
    bool subset = false;
    for (std::size_t k = at + 2; k < s->size; ++k) {
        const unsigned char c = s->document[k];
        if (c == '"' || c == '\'') {
            const std::size_t end = s->whole.find(static_cast<char>(c), k + 1);
            if (end == NONE) break;
            k = end;
        } else if (c == '[') {
            subset = true;
        } else if (c == ']') {
            subset = false;
        } else if (c == '>' && !subset) {
            return k + 1;
        }
    }
    fail(s, at);
    return s->size;
}

// Markup at `at` ("<"): the place after it, or `at` itself when the "<" is
// text (in HTML).
std::size_t read_markup(Scanner* s, std::size_t at)
{
    const std::string_view rest = s->whole.substr(at);
    const unsigned char next = at + 1 < s->size ? s->document[at + 1] : 0;
    if (rest.starts_with("<!--")) {
        // A comment ends no word.
        if (!s->xml && rest.starts_with("<!-->")) return at + 5;
        if (!s->xml && rest.starts_with("<!--->")) return at + 6;
        if (s->xml) return until(s, at, at + 4, "-->");
        const std::size_t end = s->whole.find("--", at + 4);
        for (std::size_t k = end; k != NONE; k = s->whole.find("--", k + 1)) {
            if (s->whole.substr(k, 3) == "-->") return k + 3;
            if (s->whole.substr(k, 4) == "--!>") return k + 4;
        }
        return s->size;
    }
    if (next == '!' || next == '?') word_end(s);
    if (rest.starts_with("<![CDATA[") && (s->xml || current_foreign(*s))) return until(s, at, at + 9, "]]>");
    if (next == '!') {
        if (s->xml) {
            if (!rest.starts_with("<!DOCTYPE")) return fail(s, at), s->size;
            return read_doctype(s, at);
        }
        return until(s, at, at + 2, ">");
    }
    if (next == '?') return until(s, at, at + 2, s->xml ? "?>" : ">");
    if (next == '/') {
        const unsigned char first = at + 2 < s->size ? s->document[at + 2] : 0;
        if (s->xml ? first == 0 || is_space(first) || first == '>' : !is_alpha(first)) {
            if (s->xml) return fail(s, at), s->size;
            if (first == '>') return at + 3;
            word_end(s);
            return until(s, at, at + 2, ">");
        }
        return read_end_tag(s, at);
    }
    const bool starts_name = s->xml ? next != 0 && !is_space(next) && next != '>' && next != '/' && next != '='
                                    : is_alpha(next);
    if (starts_name) return read_start_tag(s, at);
    if (s->xml) return fail(s, at), s->size;
    return at;
}

}  // namespace

void markup_scan(MarkupScan* scan, const MarkupRules* rules, const unsigned char* document, std::size_t size)
{
    scan->texts.clear();
    scan->malformed = false;
    scan->malformed_at = 0;
    Scanner s{rules, scan, document, size, std::string_view(reinterpret_cast<const char*>(document), size),
              rules->syntax == MarkupSyntax::xml, false, false, {}, 0, nullptr, false, 0};
    std::size_t at = 0;
    while (at < size && !s.failed) {
        const void* found = std::memchr(document + at, '<', size - at);
        const std::size_t stop = found != nullptr ? static_cast<std::size_t>(static_cast<const unsigned char*>(found) - document) : size;
        if (stop > at) read_text(&s, at, stop);
        if (stop == size || s.failed) break;
        const std::size_t after = read_markup(&s, stop);
        if (after == stop) {
            read_text(&s, stop, stop + 1);  // a "<" that begins no markup
            at = stop + 1;
        } else {
            at = after;
        }
    }
    if (s.xml && !s.failed && (!s.open.empty() || !s.root_seen)) fail(&s, size);
    if (s.failed) {
        scan->texts.clear();
        scan->malformed = true;
        scan->malformed_at = s.failed_at;
    }
}
