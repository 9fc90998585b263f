#include "platform/runtime/weak_value.h"

#include <gtest/gtest.h>

#include <memory>

TEST(WeakValue, SharesContainersWhileHeldAndLetsThemGo) {
    Value dict = Value::dictionary({{"a", 1}});
    WeakValue weak = dict;
    {
        Value locked = weak.lock();
        ASSERT_TRUE(locked.isDictionary());
        EXPECT_EQ(locked.identity(), dict.identity());
        locked.set("b", 2);  // writes reach the owner's container
    }
    EXPECT_EQ(dict["b"].integerValue(), 2);
    EXPECT_FALSE(weak.expired());

    {
        Value array = Value::array({1, 2});
        weak = array;
        dict = Value();  // the earlier container is no longer tracked either way
        EXPECT_TRUE(weak.lock().isArray());
    }
    EXPECT_TRUE(weak.expired());
    EXPECT_TRUE(weak.lock().isNull());
}

TEST(WeakValue, DoesNotKeepObjectsOrSetsAlive) {
    auto object = make<NSObject>();
    std::weak_ptr<NSObject> watch = object;
    WeakValue weak = Value(object);
    EXPECT_EQ(weak.lock().object(), object);
    object.reset();
    EXPECT_TRUE(watch.expired());
    EXPECT_TRUE(weak.lock().isNull());

    Value set{ValueSet()};
    weak = set;
    EXPECT_TRUE(weak.lock().isSet());
    set = Value();
    EXPECT_TRUE(weak.lock().isNull());
}

TEST(WeakValue, KeepsPlainValuesAsTheyAre) {
    WeakValue weak = Value("text");
    EXPECT_EQ(weak.lock().stringValue(), "text");
    EXPECT_FALSE(weak.expired());
    weak = Value(2.5f);
    EXPECT_EQ(weak.lock().kind(), Value::Kind::Float);
    weak.reset();
    EXPECT_TRUE(weak.lock().isNull());
    EXPECT_FALSE(weak.expired());
}
