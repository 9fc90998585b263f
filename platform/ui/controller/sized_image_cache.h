// The sized pictures the caching image manager has made, kept by key up to a budget of bytes; the
// least recently used go first when a new one does not fit. One cache serves the whole process,
// so a screen opened again finds its thumbnails made. Thread-safe.
#pragma once

#include <cstddef>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>

class CGImage;

class SizedImageCache {
public:
    static constexpr std::size_t kDefaultBudget = 96u << 20;

    static SizedImageCache& shared();
    explicit SizedImageCache(std::size_t budgetBytes = kDefaultBudget) : budget_(budgetBytes) {}

    // The picture kept under the key (now the most recently used), or none.
    std::shared_ptr<CGImage> find(const std::string& key);
    // Keeps the picture, dropping the least recently used ones beyond the budget; a picture larger
    // than the whole budget is not kept.
    void insert(const std::string& key, std::shared_ptr<CGImage> image);
    void removeAll();
    void setBudget(std::size_t bytes);

    std::size_t count() const;
    std::size_t bytes() const;

private:
    struct Entry {
        std::string key;
        std::shared_ptr<CGImage> image;
        std::size_t bytes = 0;
    };
    void trim();

    mutable std::mutex mutex_;
    std::size_t budget_;
    std::size_t bytes_ = 0;
    std::list<Entry> order_;  // most recently used first
    std::unordered_map<std::string, std::list<Entry>::iterator> index_;
};
