#pragma once
// The marking of one HTML or XHTML document held in memory: its text in each
// language through that language's pattern set, the marks put back in the
// document's own bytes.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "markup/markup_scan.h"
#include "utf8/pattern_sets.h"
#include "utf8/utf8_run.h"

// The pattern sets a run needs, each loaded when a document first needs it.
struct MarkupMarkers {
    int left;   // 0: each set's own minima
    int right;
    const PatternSet* own_set;     // the set whose patterns the user gave instead (null: none)
    std::string_view own_patterns;
    bool shared;  // markers are used from several threads at once
    std::mutex lock;
    struct Made {
        const PatternSet* set;
        Utf8Marker marker;
        bool one_at_a_time;  // too large to share: used under `use`
        std::mutex use;
    };
    std::deque<Made> made;
};

void markup_markers_destroy(MarkupMarkers* markers);

// What is marked, and how.
struct MarkupJob {
    MarkupMarkers* markers;
    MarkupSyntax syntax;
    std::string mark;
    std::vector<std::string> skip_names;    // in lower case
    std::vector<std::string> skip_classes;
    const PatternSet* language;  // of text that no `lang` covers (null: none)
};

// The set a `lang` value names: null for none ("", "zxx", a language
// without patterns).
const PatternSet* markup_language(std::string_view tag);

// Marks `document` into *marked. False when an XML document is not
// well-formed (at byte *malformed_at); *marked is then empty.
bool markup_mark(const MarkupJob* job, const unsigned char* document, std::size_t size, std::string* marked,
                 std::uint64_t* malformed_at);
