#pragma once
// What HTML's elements are to marking, by their lower-case local name.

#include <cstdint>
#include <string_view>

// Text inside it joins the text around it into words (phrasing elements:
// "hyphen<b>ation</b>"; unknown custom elements, with a "-", too).
constexpr std::uint8_t ELEMENT_INLINE = 1;
// It has no contents and no end tag in HTML ("br", "img" ...).
constexpr std::uint8_t ELEMENT_VOID = 2;
// In HTML its contents are text up to its end tag, not markup ("script",
// "style", "title", "textarea" ...).
constexpr std::uint8_t ELEMENT_RAW_TEXT = 4;
// Its contents get no marks unless the user says otherwise: the document's
// head, code, scripts, styles, formulas, drawings, templates, preformatted
// text and fields.
constexpr std::uint8_t ELEMENT_SKIPPED = 8;
// Its start tag ends an open paragraph in HTML.
constexpr std::uint8_t ELEMENT_CLOSES_PARAGRAPH = 16;

// The ELEMENT_ flags of the element `name`.
std::uint8_t element_flags(std::string_view name);
