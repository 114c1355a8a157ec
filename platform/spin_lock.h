#pragma once
// Taking a mutex that is held only for a moment. Put to sleep and woken,
// a thread loses far more time than it would have waited: two threads that
// make matcher rows at once had put each other to sleep 370 times in one
// German text. So the thread first waits on the processor, with a pause
// between tries, and sleeps only if the mutex stays held much longer than
// it ever should (its holder was itself put aside by the system).

#include <mutex>

#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
#include <immintrin.h>
#endif

// Tells the processor that this thread is waiting in a loop.
inline void spin_pause()
{
#if defined(__x86_64__) || defined(__i386__) || defined(_M_X64) || defined(_M_IX86)
    _mm_pause();
#endif
}

// Tries before the thread sleeps: 4,000 pauses in all, tens to a few hundred
// microseconds by the processor.
constexpr int SPIN_LOCK_TRIES = 500;
constexpr int SPIN_LOCK_PAUSES = 8;

// Locks `mutex` as std::mutex::lock does, waiting a while on the processor
// before sleeping.
inline void lock_spinning(std::mutex* mutex)
{
    for (int attempt = 0; attempt < SPIN_LOCK_TRIES; ++attempt) {
        if (mutex->try_lock()) return;
        for (int k = 0; k < SPIN_LOCK_PAUSES; ++k) spin_pause();
    }
    mutex->lock();
}
