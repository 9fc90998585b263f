// Asset identifiers.
#include "platform/photos/asset_identifier.h"

#include <cstdio>
#include <mutex>
#include <random>

std::string makeAssetIdentifier() {
    static std::mutex mutex;
    static std::mt19937_64 rng{std::random_device{}()};
    std::uint64_t a, b;
    {
        std::lock_guard lock(mutex);
        a = rng(), b = rng();
    }
    // Version 4, variant 1.
    a = (a & 0xFFFFFFFFFFFF0FFFull) | 0x0000000000004000ull;
    b = (b & 0x3FFFFFFFFFFFFFFFull) | 0x8000000000000000ull;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%08X-%04X-%04X-%04X-%012llX/L0/001", unsigned(a >> 32),
                  unsigned((a >> 16) & 0xFFFF), unsigned(a & 0xFFFF), unsigned(b >> 48),
                  static_cast<unsigned long long>(b & 0xFFFFFFFFFFFFull));
    return buf;
}
