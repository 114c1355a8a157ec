// zarnet with one allocation made to fail, for the fault-injection tests:
//   zarnet_fault N in_file out_file hyp_file smallChars largeChars
// runs zarnet on the five arguments with allocation number N (from 0) failing.

#include <cstdlib>

#include "platform/memory.h"
#include "byte/zarnet_main.h"

namespace {

int run_failing(int argc, char** argv)
{
    if (argc < 2) return 2;
    mem_fail_allocation_after(std::atoll(argv[1]));
    argv[1] = argv[0];
    return zarnet_main(argc - 1, argv + 1);
}

}  // namespace

#ifdef _WIN32
#include "platform/windows_arguments.h"

// The wide command line, as zarnet.exe takes it.
int wmain(int argc, wchar_t** argv)
{
    WindowsArguments arguments;
    if (!take_windows_arguments(&arguments, argc, argv, 2)) return 1;
    return run_failing(static_cast<int>(arguments.strings.size()), arguments.pointers.data());
}
#else
int main(int argc, char** argv)
{
    return run_failing(argc, argv);
}
#endif
