#include "utf8/in_place.h"

int utf8_mark_in_place(const Utf8Marker* marker, const char* const* files, int count)
{
    int code = 0;
    for (int k = 0; k < count; ++k) {
        if (utf8_mark_file(marker, files[k], files[k], false) != 0) code = 1;
    }
    return code;
}
