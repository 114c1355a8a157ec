#include "markup/epub_names.h"

#include <vector>

namespace {

bool is_ascii_letter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

int hex_value(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Whether `href` starts with a URL scheme: a letter, then letters, digits,
// `+`, `-` or `.`, then `:`.
bool has_scheme(std::string_view href)
{
    if (href.empty() || !is_ascii_letter(href[0])) return false;
    for (std::size_t k = 1; k < href.size(); ++k) {
        const char c = href[k];
        if (c == ':') return true;
        if (!is_ascii_letter(c) && !(c >= '0' && c <= '9') && c != '+' && c != '-' && c != '.') return false;
    }
    return false;
}

}  // namespace

const char* entry_name_fault(std::string_view name)
{
    if (name.empty()) return "an entry has an empty name";
    if (name[0] == '/' || name[0] == '\\' || (name.size() >= 2 && is_ascii_letter(name[0]) && name[1] == ':')) {
        return "absolute entry name";
    }
    int depth = 0;
    std::size_t start = 0;
    while (start <= name.size()) {
        std::size_t end = name.find_first_of("/\\", start);
        if (end == std::string_view::npos) end = name.size();
        const std::string_view segment = name.substr(start, end - start);
        if (segment == "..") {
            if (--depth < 0) return "entry name climbs out of the book";
        } else if (!segment.empty() && segment != ".") {
            ++depth;
        }
        start = end + 1;
    }
    return nullptr;
}

std::string folded_name(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded) {
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    }
    return folded;
}

HrefTarget resolve_href(std::string_view package_path, std::string_view href, std::string* entry)
{
    href = href.substr(0, href.find('#'));
    if (has_scheme(href)) return HrefTarget::REMOTE;
    if (!href.empty() && href[0] == '/') return HrefTarget::OUTSIDE;
    std::string decoded;
    for (std::size_t k = 0; k < href.size(); ++k) {
        int high, low;
        if (href[k] == '%' && k + 2 < href.size() && (high = hex_value(href[k + 1])) >= 0 &&
            (low = hex_value(href[k + 2])) >= 0) {
            decoded.push_back(char(high * 16 + low));
            k += 2;
        } else {
            decoded.push_back(href[k]);
        }
    }
    if (decoded.find('\0') != std::string::npos) return HrefTarget::OUTSIDE;

    // The package document's folder, then the href's segments.
    std::vector<std::string_view> segments;
    const std::size_t slash = package_path.rfind('/');
    const std::string_view folder = slash == std::string_view::npos ? std::string_view() : package_path.substr(0, slash);
    const std::string_view parts[] = {folder, decoded};
    for (const std::string_view part : parts) {
        std::size_t start = 0;
        while (start <= part.size()) {
            std::size_t end = part.find('/', start);
            if (end == std::string_view::npos) end = part.size();
            const std::string_view segment = part.substr(start, end - start);
            if (segment == "..") {
                if (segments.empty()) return HrefTarget::OUTSIDE;
                segments.pop_back();
            } else if (!segment.empty() && segment != ".") {
                segments.push_back(segment);
            }
            start = end + 1;
        }
    }
    entry->clear();
    for (const std::string_view segment : segments) {
        if (!entry->empty()) entry->push_back('/');
        entry->append(segment);
    }
    return HrefTarget::ENTRY;
}
