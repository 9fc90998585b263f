// NSNotificationCenter: named notifications with an optional object and user info, delivered to
// observer blocks. Thread-safe.
//
// - An observer registered with a queue gets its block on that queue (asynchronously, unless the
//   poster is already running on that queue); without a queue, on the posting thread, synchronously.
// - The object filter is held weakly: a registration for an object that has gone matches nothing.
// - An observer removed while a notification is being delivered is not called for it afterwards.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/dispatch/queue.h"
#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class NSNotification : public NSObject {
public:
    KORVA_MAKE(NSNotification)
    const std::string& name() const { return name_; }
    // The posting object, or null.
    const std::shared_ptr<NSObject>& object() const { return object_; }
    const Value& userInfo() const { return userInfo_; }
    std::string className() const override { return "NSNotification"; }

protected:
    NSNotification(std::string name, const std::shared_ptr<NSObject>& object, Value userInfo)
        : name_(std::move(name)), object_(object), userInfo_(std::move(userInfo)) {}

private:
    std::string name_;
    std::shared_ptr<NSObject> object_;
    Value userInfo_;
};

using NSNotificationBlock = std::function<void(const std::shared_ptr<NSNotification>&)>;

class NSNotificationCenter : public NSObject {
public:
    KORVA_MAKE(NSNotificationCenter)
    static std::shared_ptr<NSNotificationCenter> defaultCenter();

    // Block observer (addObserverForName:object:queue:usingBlock:). An empty name matches every
    // name, a null object every object. The centre keeps the block until the returned token is
    // removed.
    std::shared_ptr<NSObject> addObserver(std::string name, const std::shared_ptr<NSObject>& object,
                                          dispatch_queue_t queue, NSNotificationBlock block);

    // Observer object and action (addObserver:selector:name:object:): the observer is held
    // weakly and the action runs on the posting thread. Remove with removeObserver(observer).
    template <class T>
    void addObserver(const std::shared_ptr<T>& observer, void (T::*action)(const std::shared_ptr<NSNotification>&),
                     std::string name, const std::shared_ptr<NSObject>& object = nullptr) {
        std::weak_ptr<T> weak = observer;
        addRegistration(std::static_pointer_cast<NSObject>(observer), std::move(name), object, nullptr,
                        [weak, action](const std::shared_ptr<NSNotification>& n) {
                            if (auto strong = weak.lock()) ((*strong).*action)(n);
                        });
    }

    // Removes a token returned by addObserver, or every registration of an observer object.
    void removeObserver(const std::shared_ptr<NSObject>& observer);
    // Removes the observer's registrations for one name (empty = all) and object (null = all).
    void removeObserver(const std::shared_ptr<NSObject>& observer, const std::string& name,
                        const std::shared_ptr<NSObject>& object = nullptr);

    void post(const std::string& name, const std::shared_ptr<NSObject>& object = nullptr, Value userInfo = {});
    void postNotification(const std::shared_ptr<NSNotification>& notification);

    std::size_t observerCount() const;
    std::string className() const override { return "NSNotificationCenter"; }

    struct Registration;

protected:
    NSNotificationCenter() = default;

private:
    std::shared_ptr<NSObject> addRegistration(const std::shared_ptr<NSObject>& observer, std::string name,
                                              const std::shared_ptr<NSObject>& object, dispatch_queue_t queue,
                                              NSNotificationBlock block);
    void removeWhere(const std::function<bool(const Registration&)>& match);

    mutable std::mutex mutex_;
    std::vector<std::shared_ptr<Registration>> registrations_;
};
