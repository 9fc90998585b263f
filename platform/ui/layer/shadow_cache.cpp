// Shadows kept by picture, blur and tint.
#include "platform/ui/layer/shadow_cache.h"

#include <cairo.h>

#include <cstring>
#include <functional>

#include "platform/dispatch/clock.h"

ShadowCache& ShadowCache::shared() {
    static ShadowCache* cache = new ShadowCache();
    return *cache;
}

ShadowCache::~ShadowCache() {
    for (auto& [key, entry] : entries_) cairo_surface_destroy(entry.shadow);
}

std::size_t ShadowCache::KeyHash::operator()(const Key& k) const {
    std::size_t h = std::hash<std::uint64_t>()(k.picture);
    for (double v : {double(k.width), double(k.height), k.sigma, k.red, k.green, k.blue, k.alpha})
        h = h * 1099511628211ull ^ std::hash<double>()(v);
    return h;
}

cairo_surface_t* ShadowCache::find(const Key& key) {
    const double now = Clock::now();
    std::lock_guard lock(mutex_);
    evict(now);
    auto it = entries_.find(key);
    if (it == entries_.end()) return nullptr;
    it->second.usedAt = now;
    uses_.splice(uses_.begin(), uses_, it->second.use);
    return cairo_surface_reference(it->second.shadow);
}

void ShadowCache::insert(const Key& key, cairo_surface_t* shadow) {
    if (!shadow) return;
    std::size_t bytes = std::size_t(cairo_image_surface_get_stride(shadow)) * cairo_image_surface_get_height(shadow);
    if (bytes > budget_ / 4) return;  // a shadow that large would push out all the others
    const double now = Clock::now();
    std::lock_guard lock(mutex_);
    if (entries_.count(key)) return;
    uses_.push_front(key);
    entries_.emplace(key, Entry{cairo_surface_reference(shadow), bytes, uses_.begin(), now});
    bytes_ += bytes;
    evict(now);
}

void ShadowCache::evict(double now) {
    // The list runs from the most recent use to the oldest.
    auto idle = [&] { return now - entries_.find(uses_.back())->second.usedAt >= kIdleSeconds; };
    while (!uses_.empty() && (bytes_ > budget_ || idle())) {
        auto it = entries_.find(uses_.back());
        bytes_ -= it->second.bytes;
        cairo_surface_destroy(it->second.shadow);
        entries_.erase(it);
        uses_.pop_back();
    }
}

std::size_t ShadowCache::count() const {
    std::lock_guard lock(mutex_);
    return entries_.size();
}

bool ShadowCache::groupSettled(std::uint64_t layerId, int width, int height) {
    std::lock_guard lock(mutex_);
    if (groupSizes_.size() > 4096) groupSizes_.clear();  // layers gone long ago
    auto [it, added] = groupSizes_.try_emplace(layerId, width, height);
    if (added) return false;
    const bool same = it->second == std::make_pair(width, height);
    it->second = {width, height};
    return same;
}

std::uint64_t ShadowCache::hashPixels(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    int stride = cairo_image_surface_get_stride(surface);
    std::uint64_t hash = 1469598103934665603ull ^ (std::uint64_t(w) << 32 | std::uint32_t(h));
    if (!data) return hash;
    const std::size_t rowBytes = std::size_t(w) * 4;
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = data + std::size_t(y) * stride;
        std::size_t x = 0;
        for (; x + 8 <= rowBytes; x += 8) {
            std::uint64_t v;
            std::memcpy(&v, row + x, 8);
            hash = (hash ^ v) * 0x100000001b3ull;
            hash ^= hash >> 29;
        }
        for (; x < rowBytes; ++x) hash = (hash ^ row[x]) * 0x100000001b3ull;
    }
    return hash;
}
