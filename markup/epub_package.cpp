#include "markup/epub_package.h"

#include "files/messages.h"
#include "markup/epub_names.h"
#include "markup/xml_scan.h"

namespace {

constexpr std::string_view CONTAINER = "META-INF/container.xml";
constexpr std::string_view PACKAGE_MEDIA_TYPE = "application/oebps-package+xml";
constexpr std::string_view XHTML_MEDIA_TYPE = "application/xhtml+xml";

std::string_view trimmed(std::string_view text)
{
    const char* space = " \t\r\n";
    const std::size_t first = text.find_first_not_of(space);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

bool equal_ignoring_case(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t k = 0; k < a.size(); ++k) {
        char x = a[k], y = b[k];
        if (x >= 'A' && x <= 'Z') x = char(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = char(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

bool read_container(std::string_view container, std::string* path, std::string* reason)
{
    std::string text;
    if (!xml_utf8_text(container, &text)) {
        *reason = std::string(CONTAINER) + ": not well-formed XML";
        return false;
    }
    XmlScanner scanner{text, 0};
    XmlToken token;
    bool found = false;
    for (;;) {
        const XmlStep step = xml_next(&scanner, &token);
        if (step == XmlStep::MALFORMED) {
            *reason = std::string(CONTAINER) + ": not well-formed XML";
            return false;
        }
        if (step == XmlStep::DONE) break;
        if (token.kind != XmlKind::START || xml_local_name(token.name) != "rootfile") continue;
        std::string full_path, media_type;
        if (!xml_attribute(token.attributes, "full-path", &full_path) || full_path.empty()) continue;
        // The first rootfile of a package document, else the first at all.
        const bool package = xml_attribute(token.attributes, "media-type", &media_type) &&
                             equal_ignoring_case(trimmed(media_type), PACKAGE_MEDIA_TYPE);
        if (!found || package) *path = full_path;
        found = true;
        if (package) return true;
    }
    if (!found) *reason = std::string(CONTAINER) + ": names no package document";
    return found;
}

bool read_package(std::string_view raw, std::string_view path, EpubPackage* package, std::string* reason)
{
    const std::string name = printable_name(std::string(path).c_str());
    std::string text;
    if (!xml_utf8_text(raw, &text)) {
        *reason = name + ": not well-formed XML";
        return false;
    }
    package->language.clear();
    package->documents.clear();
    XmlScanner scanner{text, 0};
    XmlToken token;
    bool root = true;
    bool in_language = false, language_seen = false;
    std::string language;
    for (;;) {
        const XmlStep step = xml_next(&scanner, &token);
        if (step == XmlStep::MALFORMED) {
            *reason = name + ": not well-formed XML";
            return false;
        }
        if (step == XmlStep::DONE) break;
        if (token.kind == XmlKind::TEXT) {
            if (in_language) {
                if (token.cdata) {
                    language.append(token.text);
                } else if (!xml_append_decoded(token.text, &language)) {
                    *reason = name + ": not well-formed XML";
                    return false;
                }
            } else if (root && !trimmed(token.text).empty()) {
                *reason = name + ": not a package document";
                return false;
            }
            continue;
        }
        const std::string_view local = xml_local_name(token.name);
        if (token.kind == XmlKind::END) {
            if (in_language && local == "language") {
                in_language = false;
                package->language = trimmed(language);
            }
            continue;
        }
        if (root && local != "package") {
            *reason = name + ": not a package document";
            return false;
        }
        root = false;
        if (local == "language" && !language_seen) {
            language_seen = true;
            in_language = !token.empty;
            continue;
        }
        std::string media_type, href, entry;
        if (local != "item" || !xml_attribute(token.attributes, "media-type", &media_type) ||
            !equal_ignoring_case(trimmed(media_type), XHTML_MEDIA_TYPE) ||
            !xml_attribute(token.attributes, "href", &href)) {
            continue;
        }
        switch (resolve_href(path, trimmed(href), &entry)) {
        case HrefTarget::ENTRY:
            package->documents.push_back(entry);
            break;
        case HrefTarget::REMOTE:
            break;
        case HrefTarget::OUTSIDE:
            *reason = name + ": the item " + printable_name(href.c_str()) + " lies outside the book";
            return false;
        }
    }
    if (root) {
        *reason = name + ": not a package document";
        return false;
    }
    return true;
}
