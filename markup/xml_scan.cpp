#include "markup/xml_scan.h"

#include <cstdint>

namespace {

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool ends_name(char c)
{
    return is_space(c) || c == '/' || c == '>' || c == '=';
}

// The position just past `close` from `from` on, or npos.
std::size_t past(std::string_view text, std::size_t from, std::string_view close)
{
    const std::size_t found = text.find(close, from);
    return found == std::string_view::npos ? found : found + close.size();
}

// The position of the `>` that ends a tag from `from` on (quoted values may
// hold `>`), or npos; a `<` outside quotes is npos too.
std::size_t tag_end(std::string_view text, std::size_t from)
{
    char quote = 0;
    for (std::size_t k = from; k < text.size(); ++k) {
        const char c = text[k];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return k;
        } else if (c == '<') {
            return std::string_view::npos;
        }
    }
    return std::string_view::npos;
}

// The end of a doctype from `from` on, past its internal subset, whose
// declarations and comments may hold `>`.
std::size_t doctype_end(std::string_view text, std::size_t from)
{
    char quote = 0;
    int depth = 0;
    for (std::size_t k = from; k < text.size(); ++k) {
        const char c = text[k];
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (text.compare(k, 4, "<!--") == 0) {
            k = past(text, k + 4, "-->");
            if (k == std::string_view::npos) return k;
            --k;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '[') {
            ++depth;
        } else if (c == ']') {
            --depth;
        } else if (c == '>' && depth <= 0) {
            return k + 1;
        }
    }
    return std::string_view::npos;
}

void append_utf8(std::uint32_t code, std::string* out)
{
    if (code < 0x80) {
        out->push_back(char(code));
    } else if (code < 0x800) {
        out->push_back(char(0xC0 | code >> 6));
        out->push_back(char(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out->push_back(char(0xE0 | code >> 12));
        out->push_back(char(0x80 | (code >> 6 & 0x3F)));
        out->push_back(char(0x80 | (code & 0x3F)));
    } else {
        out->push_back(char(0xF0 | code >> 18));
        out->push_back(char(0x80 | (code >> 12 & 0x3F)));
        out->push_back(char(0x80 | (code >> 6 & 0x3F)));
        out->push_back(char(0x80 | (code & 0x3F)));
    }
}

// The character that the reference body `body` (between `&` and `;`)
// stands for, or false.
bool decode_reference(std::string_view body, std::string* out)
{
    static const struct {
        std::string_view name;
        char c;
    } named[] = {{"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
    for (const auto& entity : named) {
        if (body == entity.name) {
            out->push_back(entity.c);
            return true;
        }
    }
    if (body.size() < 2 || body[0] != '#') return false;
    const bool hex = body[1] == 'x';
    std::size_t k = hex ? 2 : 1;
    if (k == body.size() || body.size() - k > 8) return false;
    std::uint32_t code = 0;
    for (; k < body.size(); ++k) {
        const char c = body[k];
        std::uint32_t digit;
        if (c >= '0' && c <= '9') {
            digit = std::uint32_t(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
            digit = std::uint32_t(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
            digit = std::uint32_t(c - 'A' + 10);
        } else {
            return false;
        }
        code = code * (hex ? 16 : 10) + digit;
    }
    if (code == 0 || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    append_utf8(code, out);
    return true;
}

}  // namespace

XmlStep xml_next(XmlScanner* scanner, XmlToken* token)
{
    const std::string_view text = scanner->text;
    std::size_t at = scanner->at;
    while (at < text.size()) {
        *token = XmlToken{};
        if (text[at] != '<') {
            const std::size_t end = text.find('<', at);
            token->kind = XmlKind::TEXT;
            token->text = text.substr(at, end == std::string_view::npos ? text.size() - at : end - at);
            scanner->at = at + token->text.size();
            return XmlStep::TOKEN;
        }
        std::size_t next;
        if (text.compare(at, 4, "<!--") == 0) {
            next = past(text, at + 4, "-->");
        } else if (text.compare(at, 9, "<![CDATA[") == 0) {
            next = past(text, at + 9, "]]>");
            if (next == std::string_view::npos) return XmlStep::MALFORMED;
            token->kind = XmlKind::TEXT;
            token->text = text.substr(at + 9, next - 3 - (at + 9));
            token->cdata = true;
            scanner->at = next;
            return XmlStep::TOKEN;
        } else if (text.compare(at, 2, "<?") == 0) {
            next = past(text, at + 2, "?>");
        } else if (text.compare(at, 2, "<!") == 0) {
            next = doctype_end(text, at + 2);
        } else {
            const bool end_tag = text.compare(at, 2, "</") == 0;
            const std::size_t name_start = at + (end_tag ? 2 : 1);
            std::size_t name_end = name_start;
            while (name_end < text.size() && !ends_name(text[name_end]) && text[name_end] != '<') ++name_end;
            const std::size_t close = tag_end(text, name_end);
            if (close == std::string_view::npos || name_end == name_start) return XmlStep::MALFORMED;
            token->kind = end_tag ? XmlKind::END : XmlKind::START;
            token->name = text.substr(name_start, name_end - name_start);
            std::string_view rest = text.substr(name_end, close - name_end);
            if (!end_tag && !rest.empty() && rest.back() == '/') {
                token->empty = true;
                rest.remove_suffix(1);
            }
            token->attributes = rest;
            scanner->at = close + 1;
            return XmlStep::TOKEN;
        }
        if (next == std::string_view::npos) return XmlStep::MALFORMED;
        at = next;
    }
    scanner->at = at;
    return XmlStep::DONE;
}

std::string_view xml_local_name(std::string_view name)
{
    const std::size_t colon = name.rfind(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

bool xml_attribute(std::string_view attributes, std::string_view local, std::string* value)
{
    std::size_t k = 0;
    const std::size_t n = attributes.size();
    for (;;) {
        while (k < n && is_space(attributes[k])) ++k;
        if (k == n) return false;
        const std::size_t name_start = k;
        while (k < n && !ends_name(attributes[k])) ++k;
        const std::string_view name = attributes.substr(name_start, k - name_start);
        while (k < n && is_space(attributes[k])) ++k;
        if (name.empty() || k == n || attributes[k] != '=') return false;
        ++k;
        while (k < n && is_space(attributes[k])) ++k;
        if (k == n || (attributes[k] != '"' && attributes[k] != '\'')) return false;
        const std::size_t close = attributes.find(attributes[k], k + 1);
        if (close == std::string_view::npos) return false;
        if (xml_local_name(name) == local) {
            value->clear();
            return xml_append_decoded(attributes.substr(k + 1, close - k - 1), value);
        }
        k = close + 1;
    }
}

bool xml_append_decoded(std::string_view raw, std::string* out)
{
    std::size_t k = 0;
    while (k < raw.size()) {
        const std::size_t amp = raw.find('&', k);
        if (amp == std::string_view::npos) break;
        out->append(raw.substr(k, amp - k));
        const std::size_t semicolon = raw.find(';', amp);
        if (semicolon == std::string_view::npos || !decode_reference(raw.substr(amp + 1, semicolon - amp - 1), out)) {
            return false;
        }
        k = semicolon + 1;
    }
    out->append(raw.substr(k));
    return true;
}

bool xml_utf8_text(std::string_view raw, std::string* text)
{
    const bool big = raw.size() >= 2 && raw[0] == '\xFE' && raw[1] == '\xFF';
    const bool little = raw.size() >= 2 && raw[0] == '\xFF' && raw[1] == '\xFE';
    if (!big && !little) {
        if (raw.substr(0, 3) == "\xEF\xBB\xBF") raw.remove_prefix(3);
        text->assign(raw);
        return raw.find('\0') == std::string_view::npos;
    }
    if (raw.size() % 2 != 0) return false;
    text->clear();
    const auto unit = [&](std::size_t k) {
        const unsigned a = static_cast<unsigned char>(raw[k]), b = static_cast<unsigned char>(raw[k + 1]);
        return big ? a << 8 | b : b << 8 | a;
    };
    for (std::size_t k = 2; k < raw.size(); k += 2) {
        unsigned code = unit(k);
        if (code >= 0xD800 && code <= 0xDBFF && k + 2 < raw.size() && unit(k + 2) >= 0xDC00 && unit(k + 2) <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (unit(k + 2) - 0xDC00);
            k += 2;
        } else if (code == 0 || (code >= 0xD800 && code <= 0xDFFF)) {
            return false;
        }
        append_utf8(code, text);
    }
    return true;
}
