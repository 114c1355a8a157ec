#pragma once
// Taking a mutex that is held only for a moment. Put to sleep and woken,
// a thread loses far more time than it would have waited, and two threads
// that make matcher rows at once would keep putting each other to sleep. So
// the thread first waits on the processor, with a pause between tries, and
// sleeps only if the mutex stays held much longer than it ever should (its
// holder was itself put aside by the system).

#include <mutex>

#include "platform/features.h"

#if ZARNET_X86
#include <immintrin.h>
#endif

// Tells the processor that this thread is waiting in a loop.
inline void spin_pause()
{
#if ZARNET_X86
    _mm_pause();
#endif
}

// Tries before the thread sleeps: 4,000 pauses in all, far longer than a row
// takes to make.
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
