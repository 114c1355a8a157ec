#include "markup/markup_mark.h"

#include <algorithm>

namespace {

const void* language_of(void* /*context*/, std::string_view tag)
{
    return markup_language(tag);
}

// The marker of `set`, loaded on first use.
MarkupMarkers::Made* marker_for(MarkupMarkers* markers, const PatternSet* set)
{
    std::lock_guard<std::mutex> hold(markers->lock);
    for (MarkupMarkers::Made& made : markers->made) {
        if (made.set == set) return &made;
    }
    MarkupMarkers::Made& made = markers->made.emplace_back();
    made.set = set;
    utf8_marker_build_for(&made.marker, set, set == markers->own_set, markers->own_patterns, markers->left,
                          markers->right, "\xC2\xAD");
    made.one_at_a_time = markers->shared && !engine_share(&made.marker.engine);
    return &made;
}

bool is_space(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

struct Span {
    std::size_t from;
    std::size_t to;
};

// The web addresses and e-mail addresses of a text, which get no marks: runs
// without white space that hold "://", begin with "www." (after an opening
// bracket or quote), or hold an "@" with a "." after it. In order; they may
// overlap.
std::vector<Span> addresses(std::string_view text)
{
    std::vector<Span> spans;
    const auto add_around = [&](std::size_t at) {
        std::size_t from = at;
        while (from > 0 && !is_space(text[from - 1])) --from;
        std::size_t to = at;
        while (to < text.size() && !is_space(text[to])) ++to;
        const std::string_view word = text.substr(from, to - from);
        const std::size_t opening = word.find_first_not_of("([{<\"'");
        const bool web = word.find("://") != std::string_view::npos ||
                         (opening != std::string_view::npos && word.size() - opening >= 4 &&
                          (word.substr(opening, 4) == "www." || word.substr(opening, 4) == "WWW."));
        const std::size_t at_sign = word.find('@');
        if (web || (at_sign != std::string_view::npos && word.find('.', at_sign) != std::string_view::npos)) {
            spans.push_back(Span{from, to});
        }
    };
    for (const std::string_view mark : {std::string_view("://"), std::string_view("www."), std::string_view("WWW."),
                                        std::string_view("@")}) {
        for (std::size_t at = text.find(mark); at != std::string_view::npos; at = text.find(mark, at + 1)) {
            add_around(at);
        }
    }
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) { return a.from < b.from; });
    return spans;
}

// The places in the document of the marks of `text`.
void place_marks(const LanguageText& text, const std::vector<std::uint64_t>& breaks, std::vector<std::uint64_t>* places)
{
    const std::vector<Span> spans = addresses(text.text);
    std::size_t span = 0;
    std::size_t run = 0;
    for (const std::uint64_t at : breaks) {
        // A mark after text byte at - 1.
        while (run < text.runs.size() && text.runs[run].text_at + text.runs[run].text_length < at) ++run;
        if (run == text.runs.size()) break;
        const TextRun& stretch = text.runs[run];
        if (at <= stretch.text_at) continue;
        bool in_address = false;
        for (std::size_t k = span; k < spans.size() && spans[k].from < at; ++k) in_address = in_address || at <= spans[k].to;
        while (span < spans.size() && spans[span].to < at) ++span;
        if (in_address) continue;
        if (stretch.whole) {
            if (at == stretch.text_at + stretch.text_length) places->push_back(stretch.document_at + stretch.document_length);
        } else {
            places->push_back(stretch.document_at + (at - stretch.text_at));
        }
    }
}

}  // namespace

void markup_markers_destroy(MarkupMarkers* markers)
{
    for (MarkupMarkers::Made& made : markers->made) utf8_marker_destroy(&made.marker);
    markers->made.clear();
}

const PatternSet* markup_language(std::string_view tag)
{
    if (tag.empty() || tag.size() > 64) return nullptr;
    const std::string name(tag);
    if (name.find('\0') != std::string::npos) return nullptr;
    return find_pattern_set(name.c_str());
}

bool markup_mark(const MarkupJob* job, const unsigned char* document, std::size_t size, std::string* marked,
                 std::uint64_t* malformed_at)
{
    marked->clear();
    MarkupRules rules{job->syntax, job->skip_names, job->skip_classes, language_of, nullptr, job->language};
    MarkupScan scan;
    markup_scan(&scan, &rules, document, size);
    if (scan.malformed) {
        *malformed_at = scan.malformed_at;
        return false;
    }
    std::vector<std::uint64_t> places;
    std::vector<std::uint64_t> breaks;
    for (const LanguageText& text : scan.texts) {
        MarkupMarkers::Made* made = marker_for(job->markers, static_cast<const PatternSet*>(text.language));
        breaks.clear();
        {
            std::unique_lock<std::mutex> hold(made->use, std::defer_lock);
            if (made->one_at_a_time) hold.lock();
            utf8_breaks(&made->marker, reinterpret_cast<const unsigned char*>(text.text.data()), text.text.size(),
                        &breaks);
        }
        place_marks(text, breaks, &places);
    }
    if (scan.texts.size() > 1) {
        std::sort(places.begin(), places.end());
        places.erase(std::unique(places.begin(), places.end()), places.end());
    }
    marked->reserve(size + places.size() * job->mark.size());
    std::uint64_t done = 0;
    for (const std::uint64_t at : places) {
        marked->append(reinterpret_cast<const char*>(document + done), static_cast<std::size_t>(at - done));
        marked->append(job->mark);
        done = at;
    }
    marked->append(reinterpret_cast<const char*>(document + done), static_cast<std::size_t>(size - done));
    return true;
}
