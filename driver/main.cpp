#include "driver/zarnet_main.h"

#ifdef __MINGW32__
// The arguments are taken as they come: a '*' or '?' in an alphabet or a
// file name is never expanded into names of files.
extern "C" {
int _dowildcard = 0;
}
#endif

int main(int argc, char** argv)
{
    return zarnet_main(argc, argv);
}
