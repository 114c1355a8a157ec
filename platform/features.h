#pragma once
// What the compiler, the processor and the system offer, decided here once
// for the whole program. Every feature is a macro that is 1 or 0, tested
// with #if; code elsewhere asks these, never the compiler's own macros.

// ---- compiler ---------------------------------------------------------------

// GCC or Clang: their builtins and attributes.
#if defined(__GNUC__)
#define ZARNET_GNU 1
#else
#define ZARNET_GNU 0
#endif

#if defined(_MSC_VER)
#define ZARNET_NOINLINE __declspec(noinline)
#define ZARNET_ALWAYS_INLINE __forceinline
#elif ZARNET_GNU
#define ZARNET_NOINLINE __attribute__((noinline))
#define ZARNET_ALWAYS_INLINE __attribute__((always_inline))
#else
#define ZARNET_NOINLINE
#define ZARNET_ALWAYS_INLINE
#endif

// Built with AddressSanitizer or ThreadSanitizer, which bring their own
// allocator.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ZARNET_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ZARNET_SANITIZED 1
#endif
#endif
#ifndef ZARNET_SANITIZED
#define ZARNET_SANITIZED 0
#endif

// ---- processor --------------------------------------------------------------

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
#define ZARNET_X86 1
#else
#define ZARNET_X86 0
#endif

// SSE2 in every build (all of x86-64 has it).
#if defined(__SSE2__) || defined(_M_X64)
#define ZARNET_SSE2 1
#else
#define ZARNET_SSE2 0
#endif

// Functions built for later x86 extensions (SSSE3, AVX2, AVX-512, BMI2)
// beside the plain ones, chosen when the program runs by what the processor
// says it has.
#if ZARNET_GNU && (defined(__x86_64__) || defined(__i386__))
#define ZARNET_X86_PATHS 1
#else
#define ZARNET_X86_PATHS 0
#endif

// The same on x86-64 only (64-bit bit instructions).
#if ZARNET_GNU && defined(__x86_64__)
#define ZARNET_X86_64_PATHS 1
#else
#define ZARNET_X86_64_PATHS 0
#endif

// 64-byte vectors on the stack: Windows does not keep the stack aligned for them.
#if ZARNET_X86_64_PATHS && !defined(_WIN32)
#define ZARNET_AVX512_PATHS 1
#else
#define ZARNET_AVX512_PATHS 0
#endif

#if ZARNET_AVX512_PATHS
// The processor has AVX-512 with VBMI and VBMI2, and BMI2 (asked once).
inline bool cpu_has_avx512_vbmi2()
{
    static const bool supported = __builtin_cpu_supports("avx512vbmi2") && __builtin_cpu_supports("avx512vbmi") &&
                                  __builtin_cpu_supports("avx512bw") &&
                                  __builtin_cpu_supports("bmi2") && __builtin_cpu_supports("popcnt");
    return supported;
}
#endif

// Asks the memory system for the line at `address` before it is read.
inline void zarnet_prefetch(const void* address)
{
#if ZARNET_GNU
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// ---- system -----------------------------------------------------------------

#if defined(__linux__)
#define ZARNET_LINUX 1
#else
#define ZARNET_LINUX 0
#endif
