#pragma once
// Preconditions that the comments state, checked where the build asks for it
// (ZARNET_CHECKS, set in the sanitizer and fuzzing builds) and free elsewhere.
// A broken precondition is a fault of the caller: the check names it and
// ends the process at once.

#include <cstdio>
#include <cstdlib>

#if defined(ZARNET_CHECKS) && ZARNET_CHECKS
[[noreturn]] inline void zarnet_expect_failed(const char* condition, const char* file, int line)
{
    std::fprintf(stderr, "%s:%d: precondition failed: %s\n", file, line, condition);
    std::abort();
}
#define ZARNET_EXPECT(condition) ((condition) ? void(0) : zarnet_expect_failed(#condition, __FILE__, __LINE__))
#else
#define ZARNET_EXPECT(condition) ((void)0)
#endif
