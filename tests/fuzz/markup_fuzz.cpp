// Any UTF-8 bytes as a web page (first byte even) or an XHTML document (odd):
// the page comes back whole once the marks (0xFF, which UTF-8 never holds)
// are taken out; XML that is refused leaves nothing.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "markup/markup_mark.h"
#include "utf8/utf8_decode.h"

namespace {

bool is_utf8(const unsigned char* bytes, std::size_t size)
{
    for (std::size_t at = 0; at < size;) {
        std::uint32_t cp = 0;
        const int length = utf8_decode(bytes + at, size - at, &cp);
        if (length <= 0) return false;
        at += static_cast<std::size_t>(length);
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || !is_utf8(data + 1, size - 1)) return 0;
    // Kept for the whole run, as the program keeps its sets.
    static MarkupMarkers* markers = new MarkupMarkers{0, 0, nullptr, {}, false, {}, {}};
    const MarkupSyntax syntax = (data[0] & 1) != 0 ? MarkupSyntax::xml : MarkupSyntax::html;
    MarkupJob job{markers, syntax, "\xFF", {"aside"}, {"x"}, markup_language((data[0] & 2) != 0 ? "de" : "en")};
    std::string marked;
    std::uint64_t malformed_at = 0;
    if (!markup_mark(&job, data + 1, size - 1, &marked, &malformed_at)) {
        if (syntax != MarkupSyntax::xml || !marked.empty() || malformed_at > size - 1) std::abort();
        return 0;
    }
    std::erase(marked, '\xFF');
    if (marked != std::string(reinterpret_cast<const char*>(data + 1), size - 1)) std::abort();
    return 0;
}
