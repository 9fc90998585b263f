// The processor count of the process's affinity mask.
#include "platform/runtime/cpu_count.h"

#include <sched.h>

#include <algorithm>
#include <cerrno>
#include <thread>

unsigned availableCpuCount() {
    // Masks beyond 1024 processors need a larger set; grow until the kernel takes it.
    for (int cpus = 1024; cpus <= 1 << 16; cpus *= 2) {
        cpu_set_t* set = CPU_ALLOC(cpus);
        if (!set) break;
        const std::size_t size = CPU_ALLOC_SIZE(cpus);
        CPU_ZERO_S(size, set);
        const bool ok = sched_getaffinity(0, size, set) == 0;
        const int count = ok ? CPU_COUNT_S(size, set) : 0;
        CPU_FREE(set);
        if (ok) return static_cast<unsigned>(std::max(count, 1));
        if (errno != EINVAL) break;
    }
    return std::max(1u, std::thread::hardware_concurrency());
}
