// Key-value observation registrations.
#include "platform/runtime/key_value_observing.h"

#include <atomic>

struct KeyValueObservable::Registration : NSObject {
    std::string keyPath;
    Callback callback;
    std::atomic<bool> active{true};
};

std::shared_ptr<NSObject> KeyValueObservable::addObserver(std::string keyPath, Callback callback) {
    auto r = ::make<Registration>();
    r->keyPath = std::move(keyPath);
    r->callback = std::move(callback);
    std::lock_guard lock(mutex_);
    registrations_.push_back(r);
    return r;
}

void KeyValueObservable::removeObserver(const std::shared_ptr<NSObject>& token) {
    std::lock_guard lock(mutex_);
    std::erase_if(registrations_, [&](const std::shared_ptr<Registration>& r) {
        if (r != token) return false;
        r->active = false;
        return true;
    });
}

std::size_t KeyValueObservable::observerCount(const std::string& keyPath) const {
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const auto& r : registrations_) n += r->keyPath == keyPath;
    return n;
}

void KeyValueObservable::didChangeValue(const std::string& keyPath, const Value& newValue) {
    std::vector<std::shared_ptr<Registration>> targets;
    {
        std::lock_guard lock(mutex_);
        for (const auto& r : registrations_)
            if (r->keyPath == keyPath) targets.push_back(r);
    }
    for (const auto& r : targets)
        if (r->active) r->callback(keyPath, newValue);
}
