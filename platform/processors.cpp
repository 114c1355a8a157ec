#include "platform/processors.h"

#include <thread>

#include "platform/features.h"

#if ZARNET_LINUX
#include <sched.h>
#endif

unsigned usable_processors()
{
#if ZARNET_LINUX
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) == 0) {
        const int count = CPU_COUNT(&set);
        if (count > 0) return static_cast<unsigned>(count);
    }
#endif
    const unsigned reported = std::thread::hardware_concurrency();
    return reported == 0 ? 1 : reported;
}
