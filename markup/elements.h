#pragma once
// What HTML's elements are to marking, by their lower-case local name.

#include <string_view>

// Text inside it joins the text around it into words (phrasing elements:
// "hyphen<b>ation</b>"; unknown custom elements, with a "-", too).
bool element_is_inline(std::string_view name);

// It has no contents and no end tag in HTML ("br", "img" ...).
bool element_is_void(std::string_view name);

// In HTML its contents are text up to its end tag, not markup ("script",
// "style", "title", "textarea" ...).
bool element_is_raw_text(std::string_view name);

// Its contents get no marks unless the user says otherwise: the document's
// head, code, scripts, styles, formulas, drawings, templates, preformatted
// text and fields.
bool element_is_skipped(std::string_view name);

// Its start tag ends an open paragraph in HTML.
bool element_closes_paragraph(std::string_view name);
