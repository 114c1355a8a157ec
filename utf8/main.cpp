#include "utf8/utf8_main.h"

#ifdef _WIN32
#include "platform/windows_arguments.h"

#ifdef __MINGW32__
// The arguments are taken as they come: a '*' or '?' is never expanded into
// names of files.
extern "C" {
int _dowildcard = 0;
}
#endif

// The wide command line: every argument in UTF-8.
int wmain(int argc, wchar_t** argv)
{
    WindowsArguments arguments;
    if (!take_windows_arguments(&arguments, argc, argv, -6)) return 1;
    return zarnet_utf8_main(static_cast<int>(arguments.strings.size()), arguments.pointers.data());
}
#else
#include "platform/large_pages.h"

int main(int argc, char** argv)
{
    heap_use_large_pages(std::size_t{64} << 20);
    return zarnet_utf8_main(argc, argv);
}
#endif
