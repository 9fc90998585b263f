// Least-recently-used keeping of sized pictures.
#include "platform/ui/controller/sized_image_cache.h"

#include "platform/image/cg_image.h"

SizedImageCache& SizedImageCache::shared() {
    static SizedImageCache cache;
    return cache;
}

std::shared_ptr<CGImage> SizedImageCache::find(const std::string& key) {
    std::lock_guard lock(mutex_);
    auto found = index_.find(key);
    if (found == index_.end()) return nullptr;
    order_.splice(order_.begin(), order_, found->second);
    return found->second->image;
}

void SizedImageCache::insert(const std::string& key, std::shared_ptr<CGImage> image) {
    if (!image) return;
    const std::size_t size = image->bytesPerRow() * static_cast<std::size_t>(image->height());
    std::lock_guard lock(mutex_);
    if (auto found = index_.find(key); found != index_.end()) {
        bytes_ -= found->second->bytes;
        order_.erase(found->second);
        index_.erase(found);
    }
    if (size > budget_) return;
    order_.push_front(Entry{key, std::move(image), size});
    index_[key] = order_.begin();
    bytes_ += size;
    trim();
}

void SizedImageCache::removeAll() {
    std::lock_guard lock(mutex_);
    order_.clear();
    index_.clear();
    bytes_ = 0;
}

void SizedImageCache::setBudget(std::size_t bytes) {
    std::lock_guard lock(mutex_);
    budget_ = bytes;
    trim();
}

std::size_t SizedImageCache::count() const {
    std::lock_guard lock(mutex_);
    return order_.size();
}

std::size_t SizedImageCache::bytes() const {
    std::lock_guard lock(mutex_);
    return bytes_;
}

void SizedImageCache::trim() {
    while (bytes_ > budget_ && !order_.empty()) {
        bytes_ -= order_.back().bytes;
        index_.erase(order_.back().key);
        order_.pop_back();
    }
}
