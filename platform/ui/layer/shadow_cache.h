// Blurred, tinted shadows kept for reuse: a shadow is made once for each picture of its layer's
// group (found by a hash of its pixels) with its blur, colour and opacity, and composited as it is
// in later frames. Least recently used shadows go first past the byte budget, and a shadow not asked
// for in kIdleSeconds (on the platform clock) goes anyway: shadows of pop-ups that have closed do
// not stay for the rest of the run. Thread-safe.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>
#include <mutex>
#include <unordered_map>
#include <utility>

typedef struct _cairo_surface cairo_surface_t;

class ShadowCache {
public:
    struct Key {
        std::uint64_t picture = 0;  // hash of the group's pixels
        int width = 0, height = 0;
        double sigma = 0, red = 0, green = 0, blue = 0, alpha = 0;
        bool operator==(const Key&) const = default;
    };

    static ShadowCache& shared();

    explicit ShadowCache(std::size_t budgetBytes = std::size_t(16) << 20) : budget_(budgetBytes) {}
    ~ShadowCache();
    ShadowCache(const ShadowCache&) = delete;
    ShadowCache& operator=(const ShadowCache&) = delete;

    // A new reference to the shadow made for the key (the caller destroys it), or null.
    cairo_surface_t* find(const Key& key);
    // Keeps a reference to the shadow for the key.
    void insert(const Key& key, cairo_surface_t* shadow);

    std::size_t count() const;

    // Whether the group of the layer (by its identity, which is never reused) had this size the
    // last time its shadow was asked for; notes the size. A group that changes size from frame to
    // frame (growing, shrinking) makes pictures that do not come again, so they are not looked up.
    bool groupSettled(std::uint64_t layerId, int width, int height);

    // How long a shadow is kept without being asked for.
    static constexpr double kIdleSeconds = 30.0;

    // A hash of an image surface's pixels and size.
    static std::uint64_t hashPixels(cairo_surface_t* surface);

private:
    struct KeyHash {
        std::size_t operator()(const Key& k) const;
    };
    struct Entry {
        cairo_surface_t* shadow;
        std::size_t bytes;
        std::list<Key>::iterator use;
        double usedAt = 0;
    };
    // Past the budget or idle, least recently used first; under the lock.
    void evict(double now);

    mutable std::mutex mutex_;
    std::unordered_map<Key, Entry, KeyHash> entries_;
    std::list<Key> uses_;  // most recent first
    std::size_t budget_;
    std::size_t bytes_ = 0;
    std::unordered_map<std::uint64_t, std::pair<int, int>> groupSizes_;  // by layer identity
};
