#include "markup/elements.h"

#include <algorithm>
#include <array>

namespace {

template <std::size_t N>
bool among(const std::array<std::string_view, N>& sorted, std::string_view name)
{
    return std::binary_search(sorted.begin(), sorted.end(), name);
}

constexpr std::array<std::string_view, 38> INLINE = {
    "a",   "abbr", "acronym", "b",    "bdi", "bdo",  "big",   "cite",   "code", "data", "del", "dfn", "em",
    "font", "i",   "ins",     "kbd",  "label", "mark", "nobr", "q",     "rb",   "rp",   "rt",  "rtc", "ruby",
    "s",   "samp", "small",   "span", "strike", "strong", "sub", "sup", "time", "tt",   "u",   "var"};

constexpr std::array<std::string_view, 15> VOID = {"area",  "base", "br",   "col",    "embed",  "hr",    "img", "input",
                                                  "keygen", "link", "meta", "param", "source", "track", "wbr"};

constexpr std::array<std::string_view, 9> RAW_TEXT = {"iframe", "noembed", "noframes", "plaintext", "script",
                                                      "style",  "textarea", "title",    "xmp"};

constexpr std::array<std::string_view, 14> SKIPPED = {"code", "head",  "kbd",     "math",   "pre",      "samp", "script",
                                                     "style", "svg", "template", "textarea", "title", "var",  "xmp"};

constexpr std::array<std::string_view, 40> CLOSES_PARAGRAPH = {
    "address", "article", "aside",  "blockquote", "center", "dd",      "details", "dialog", "dir",  "div",
    "dl",      "dt",      "fieldset", "figcaption", "figure", "footer", "form",   "h1",     "h2",   "h3",
    "h4",      "h5",      "h6",     "header",     "hgroup", "hr",      "li",      "listing", "main", "menu",
    "nav",     "ol",      "p",      "plaintext",  "pre",    "search",  "section", "summary", "table", "ul"};

}  // namespace

bool element_is_inline(std::string_view name)
{
    return among(INLINE, name) || name.find('-') != std::string_view::npos;
}

bool element_is_void(std::string_view name)
{
    return among(VOID, name);
}

bool element_is_raw_text(std::string_view name)
{
    return among(RAW_TEXT, name);
}

bool element_is_skipped(std::string_view name)
{
    return among(SKIPPED, name);
}

bool element_closes_paragraph(std::string_view name)
{
    return among(CLOSES_PARAGRAPH, name);
}
