// When to trim the allocator, and the trim.
#include "platform/host/heap_trimmer.h"

#if defined(__GLIBC__)
#include <malloc.h>
#endif

void HeapTrimmer::activity(double at) {
    if (!pending_ || at > last_) last_ = at;
    pending_ = true;
}

void HeapTrimmer::backgroundWork(bool busy, double at) {
    if (busy && !busy_) busySince_ = at;
    if (!busy && busy_ && at - busySince_ >= kLongWork) activity(at);
    busy_ = busy;
}

bool HeapTrimmer::due(double now) {
    if (!pending_ || now - last_ < quiet_) return false;
    pending_ = false;
    return true;
}

void HeapTrimmer::trimNow() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

bool HeapTrimmer::mapLargeBlocks() {
#if defined(__GLIBC__)
    return mallopt(M_MMAP_THRESHOLD, static_cast<int>(kMappedBlock)) == 1;
#else
    return false;
#endif
}
