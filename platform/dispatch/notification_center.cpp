// NSNotificationCenter: registrations, matching, delivery on the poster's thread or a queue.
#include "platform/dispatch/notification_center.h"

#include <atomic>

namespace {

// The opaque token a block observer is removed by.
class ObserverToken : public NSObject {
public:
    std::string className() const override { return "NotificationObserver"; }
};

}  // namespace

struct NSNotificationCenter::Registration {
    const void* observerId = nullptr;  // the token or observer object, for removal
    std::weak_ptr<NSObject> observer;  // observer objects are held weakly
    std::shared_ptr<NSObject> token;   // block observers: the centre keeps the token
    std::string name;                  // empty: any name
    const void* objectId = nullptr;    // null: any object
    std::weak_ptr<NSObject> object;
    dispatch_queue_t queue;
    NSNotificationBlock block;
    std::atomic<bool> removed{false};

    bool alive() const { return token || !observer.expired(); }
    bool matches(const NSNotification& n) const {
        if (!name.empty() && name != n.name()) return false;
        if (!objectId) return true;
        return n.object().get() == objectId && !object.expired();
    }
};

std::shared_ptr<NSNotificationCenter> NSNotificationCenter::defaultCenter() {
    static auto* center = new std::shared_ptr<NSNotificationCenter>(make());
    return *center;
}

std::shared_ptr<NSObject> NSNotificationCenter::addObserver(std::string name, const std::shared_ptr<NSObject>& object,
                                                            dispatch_queue_t queue, NSNotificationBlock block) {
    return addRegistration(nullptr, std::move(name), object, std::move(queue), std::move(block));
}

std::shared_ptr<NSObject> NSNotificationCenter::addRegistration(const std::shared_ptr<NSObject>& observer,
                                                                std::string name,
                                                                const std::shared_ptr<NSObject>& object,
                                                                dispatch_queue_t queue, NSNotificationBlock block) {
    if (!block) return nullptr;
    auto r = std::make_shared<Registration>();
    if (observer) {
        r->observer = observer;
        r->observerId = observer.get();
    } else {
        r->token = ::make<ObserverToken>();
        r->observerId = r->token.get();
    }
    r->name = std::move(name);
    r->objectId = object.get();
    r->object = object;
    r->queue = std::move(queue);
    r->block = std::move(block);
    std::shared_ptr<NSObject> token = r->token;
    std::lock_guard lock(mutex_);
    registrations_.push_back(std::move(r));
    return token;
}

void NSNotificationCenter::removeWhere(const std::function<bool(const Registration&)>& match) {
    // Released after the lock: a registration's block may own objects that call back in here.
    std::vector<std::shared_ptr<Registration>> removed;
    {
        std::lock_guard lock(mutex_);
        std::vector<std::shared_ptr<Registration>> kept;
        for (auto& r : registrations_) {
            if (match(*r) || !r->alive()) {
                r->removed = true;
                removed.push_back(std::move(r));
            } else {
                kept.push_back(std::move(r));
            }
        }
        registrations_.swap(kept);
    }
}

void NSNotificationCenter::removeObserver(const std::shared_ptr<NSObject>& observer) {
    if (!observer) return;
    const void* id = observer.get();
    removeWhere([id](const Registration& r) { return r.observerId == id; });
}

void NSNotificationCenter::removeObserver(const std::shared_ptr<NSObject>& observer, const std::string& name,
                                          const std::shared_ptr<NSObject>& object) {
    if (!observer) return;
    const void* id = observer.get();
    const void* objectId = object.get();
    removeWhere([&](const Registration& r) {
        return r.observerId == id && (name.empty() || r.name == name) && (!objectId || r.objectId == objectId);
    });
}

void NSNotificationCenter::post(const std::string& name, const std::shared_ptr<NSObject>& object, Value userInfo) {
    postNotification(NSNotification::make(name, object, std::move(userInfo)));
}

void NSNotificationCenter::postNotification(const std::shared_ptr<NSNotification>& notification) {
    if (!notification) return;
    std::vector<std::shared_ptr<Registration>> matching;
    {
        std::lock_guard lock(mutex_);
        for (const auto& r : registrations_)
            if (r->alive() && r->matches(*notification)) matching.push_back(r);
    }
    for (const auto& r : matching) {
        // An observer removed by an earlier observer of this same post is skipped.
        if (r->removed) continue;
        if (!r->queue || r->queue->isCurrent()) {
            r->block(notification);
        } else {
            r->queue->async([r, notification] {
                if (!r->removed) r->block(notification);
            });
        }
    }
}

std::size_t NSNotificationCenter::observerCount() const {
    std::lock_guard lock(mutex_);
    std::size_t n = 0;
    for (const auto& r : registrations_)
        if (r->alive()) ++n;
    return n;
}
