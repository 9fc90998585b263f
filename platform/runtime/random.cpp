// The system's source is a generator seeded from the operating system's entropy once per process.
#include "platform/runtime/random.h"

#include <memory>
#include <mutex>
#include <random>
#include <utility>

namespace {
std::mutex& sourceMutex() {
    static std::mutex m;
    return m;
}

ScopedRandomSource::Source& installedSource() {
    static ScopedRandomSource::Source source;
    return source;
}

std::uint32_t systemDraw() {
    static std::mt19937 engine{std::random_device{}()};
    return static_cast<std::uint32_t>(engine());
}
}  // namespace

std::uint32_t arc4random() noexcept {
    std::lock_guard lock(sourceMutex());
    const auto& source = installedSource();
    return source ? source() : systemDraw();
}

std::uint32_t arc4random_uniform(std::uint32_t upperBound) noexcept {
    if (upperBound < 2) return 0;
    // 2^32 mod upperBound: the draws below it belong to an incomplete last cycle.
    std::uint32_t threshold = static_cast<std::uint32_t>(-upperBound) % upperBound;
    for (;;) {
        std::uint32_t r = arc4random();
        if (r >= threshold) return r % upperBound;
    }
}

ScopedRandomSource::ScopedRandomSource(Source source) {
    std::lock_guard lock(sourceMutex());
    previous_ = std::exchange(installedSource(), std::move(source));
}

ScopedRandomSource::ScopedRandomSource(std::uint32_t seed)
    : ScopedRandomSource(
          [engine = std::make_shared<std::mt19937>(seed)] { return static_cast<std::uint32_t>((*engine)()); }) {}

ScopedRandomSource::~ScopedRandomSource() {
    std::lock_guard lock(sourceMutex());
    installedSource() = std::move(previous_);
}
