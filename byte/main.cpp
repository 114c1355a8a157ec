#include "byte/zarnet_main.h"

#ifdef _WIN32
#include "platform/windows_arguments.h"

#ifdef __MINGW32__
// The arguments are taken as they come: a '*' or '?' in an alphabet or a
// file name is never expanded into names of files.
extern "C" {
int _dowildcard = 0;
}
#endif

// The wide command line, so that file names in any script arrive whole.
int wmain(int argc, wchar_t** argv)
{
    WindowsArguments arguments;
    if (!take_windows_arguments(&arguments, argc, argv, 1)) return 1;
    return zarnet_main(static_cast<int>(arguments.strings.size()), arguments.pointers.data());
}
#else
#include "platform/large_pages.h"

int main(int argc, char** argv)
{
    // Room for the automaton of any pattern set shipped, and the pass's
    // buffers, on large pages.
    heap_use_large_pages(std::size_t{64} << 20);
    return zarnet_main(argc, argv);
}
#endif
