// Key-value observation: observers per key, removal by token, removal during delivery.
#include "platform/runtime/key_value_observing.h"

#include <gtest/gtest.h>

namespace {

struct Observed : KeyValueObservable {
    void set(const std::string& key, Value v) { didChangeValue(key, v); }
};

TEST(KeyValueObserving, ObserversHearTheirKeyUntilTheirTokenIsRemoved) {
    Observed o;
    std::vector<std::string> heard;
    auto a = o.addObserver("enabled",
                           [&](const std::string& k, const Value& v) { heard.push_back(k + "=" + v.description()); });
    auto b = o.addObserver("title", [&](const std::string& k, const Value&) { heard.push_back(k); });
    EXPECT_EQ(o.observerCount("enabled"), 1u);
    o.set("enabled", Value(false));
    o.set("other", Value(1));
    o.removeObserver(a);
    o.set("enabled", Value(true));
    o.set("title", Value("x"));
    EXPECT_EQ(heard.size(), 2u);
    EXPECT_EQ(heard.back(), "title");
    EXPECT_EQ(o.observerCount("enabled"), 0u);
}

TEST(KeyValueObserving, AnObserverRemovedWhileAChangeIsDeliveredIsNotCalled) {
    Observed o;
    int second = 0;
    std::shared_ptr<NSObject> later;
    auto first = o.addObserver("k", [&](const std::string&, const Value&) { o.removeObserver(later); });
    later = o.addObserver("k", [&](const std::string&, const Value&) { ++second; });
    o.set("k", Value(1));
    EXPECT_EQ(second, 0);
}

}  // namespace
