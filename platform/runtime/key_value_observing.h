// A small key-value observation hook: observers register per key, are called with the new value
// on the thread that made the change, and are removed by their token. Thread-safe; callbacks run
// without the lock, and an observer removed before a change is being delivered is not called.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class KeyValueObservable {
public:
    using Callback = std::function<void(const std::string& keyPath, const Value& newValue)>;

    // The token keeps the registration; removing it (or the observable going) ends it.
    std::shared_ptr<NSObject> addObserver(std::string keyPath, Callback callback);
    void removeObserver(const std::shared_ptr<NSObject>& token);
    std::size_t observerCount(const std::string& keyPath) const;

protected:
    void didChangeValue(const std::string& keyPath, const Value& newValue);

private:
    struct Registration;
    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Registration>> registrations_;
};
