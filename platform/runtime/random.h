// Random numbers: 32-bit draws and an unbiased bounded draw, with a seam through which tests put
// a deterministic source in place of the system's.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <functional>

// These replace the C library's functions of the same names, which <cstdlib> may declare first
// (as non-throwing, with C linkage); the declarations here agree with those.
extern "C" {
// A uniformly distributed 32-bit number. Thread-safe.
std::uint32_t arc4random() noexcept;
// A uniformly distributed number in [0, upperBound), without the bias of a plain modulo: draws
// that fall in the short last cycle are drawn again. An upper bound below 2 gives 0.
std::uint32_t arc4random_uniform(std::uint32_t upperBound) noexcept;
}

// Replaces the source of 32-bit draws for the life of the object (tests only); the previous
// source comes back when it goes. Not for use while other threads draw.
class ScopedRandomSource {
public:
    using Source = std::function<std::uint32_t()>;
    explicit ScopedRandomSource(Source source);
    // A seeded generator, so that a test sees the same sequence on every run.
    explicit ScopedRandomSource(std::uint32_t seed);
    ~ScopedRandomSource();
    ScopedRandomSource(const ScopedRandomSource&) = delete;
    ScopedRandomSource& operator=(const ScopedRandomSource&) = delete;

private:
    Source previous_;
};
