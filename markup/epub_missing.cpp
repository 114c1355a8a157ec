// Until EPUB support is built in: every book is refused.
#include "markup/epub.h"

bool epub_mark(const EpubDocumentMarker* /*marker*/, const char* /*name*/, const unsigned char* /*book*/,
               std::size_t /*size*/, std::string* out, std::string* reason)
{
    out->clear();
    *reason = "EPUB books cannot be read by this build";
    return false;
}
