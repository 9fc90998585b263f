#include "platform/runtime/value.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>

TEST(Value, KeepsNumberKinds) {
    EXPECT_EQ(Value(true).kind(), Value::Kind::Bool);
    EXPECT_EQ(Value(3).kind(), Value::Kind::Int);
    EXPECT_EQ(Value(3u).kind(), Value::Kind::UInt);
    EXPECT_EQ(Value(1.5f).kind(), Value::Kind::Float);
    EXPECT_EQ(Value(1.5).kind(), Value::Kind::Double);
    EXPECT_TRUE(Value(1).isEqual(Value(1.0)));
    EXPECT_FALSE(Value(-1).isEqual(Value(~0ull)));
}

TEST(Value, ContainersShareUntilDeepCopied) {
    Value dict = Value::dictionary({{"a", 1}});
    Value alias = dict;
    Value copy = dict.deepCopy();
    alias.set("b", 2);
    EXPECT_EQ(dict.count(), 2u);
    EXPECT_EQ(copy.count(), 1u);
    EXPECT_EQ(dict.identity(), alias.identity());
    EXPECT_NE(dict.identity(), copy.identity());
}

TEST(Value, DictionaryKeepsInsertionOrderAndRemovesOnNull) {
    ValueDictionary d{{"z", 1}, {"a", 2}, {"m", 3}};
    d.set("a", Value());
    EXPECT_EQ(d.keys(), (std::vector<std::string>{"z", "m"}));
    EXPECT_EQ(d.get("m").integerValue(), 3);
}

TEST(Value, StringConversionsFollowPlatformRules) {
    EXPECT_EQ(Value("  42abc").integerValue(), 42);
    EXPECT_EQ(Value("-99999999999999999999").integerValue(), INT64_MIN);
    EXPECT_EQ(Value("99999999999999999999").integerValue(), INT64_MAX);
    EXPECT_DOUBLE_EQ(Value("3.5e1x").doubleValue(), 35.0);
    EXPECT_DOUBLE_EQ(Value("0x10").doubleValue(), 0.0);
    EXPECT_TRUE(Value("yes").boolValue());
    EXPECT_TRUE(Value(" 007").boolValue());
    EXPECT_FALSE(Value("000").boolValue());
    EXPECT_FALSE(Value("no").boolValue());
    EXPECT_EQ(Value(1e300).integerValue(), INT64_MAX);
    EXPECT_EQ(Value(std::nan("")).integerValue(), 0);
}

TEST(Value, DescriptionsMatchFormatting) {
    EXPECT_EQ(Value(0.1).description(), "0.1");
    EXPECT_EQ(Value(0.1f).description(), "0.1");
    EXPECT_EQ(Value(true).description(), "1");
    EXPECT_EQ(Value().description(), "(null)");
    EXPECT_EQ(Value::array({1, "a b"}).description(), "(\n    1,\n    \"a b\"\n)");
    EXPECT_EQ(Value::date(0).description(), "2001-01-01 00:00:00 +0000");
}

namespace {

// An object that equals every other of its class and counts how often it is asked.
struct CountedObject : NSObject {
    explicit CountedObject(int* asked) : asked(asked) {}
    bool isEqual(const NSObject& other) const override {
        ++*asked;
        return dynamic_cast<const CountedObject*>(&other) != nullptr;
    }
    int* asked;
};

}  // namespace

// Containers in a set are found through their content: n distinct arrays cost about n comparisons,
// not n²/2, and equal containers in any order of their entries still meet.
TEST(Value, SetsOfContainersHashByContent) {
    int asked = 0;
    ValueSet set;
    for (int i = 0; i < 2000; ++i)
        EXPECT_TRUE(set.insert(Value::array({Value(std::make_shared<CountedObject>(&asked)), Value(i)})));
    EXPECT_LT(asked, 100);
    EXPECT_FALSE(set.insert(Value::array({Value(std::make_shared<CountedObject>(&asked)), Value(7.0)})));

    ValueSet nested;
    EXPECT_TRUE(nested.insert(Value::dictionary({{"a", Value(1)}, {"b", Value::array({Value("x")})}})));
    EXPECT_FALSE(nested.insert(Value::dictionary({{"b", Value::array({Value("x")})}, {"a", Value(1u)}})));
    EXPECT_TRUE(nested.insert(Value::dictionary({{"b", Value::array({Value("y")})}, {"a", Value(1)}})));
    ValueSet inner1, inner2;
    inner1.insert(Value(1));
    inner1.insert(Value(2));
    inner2.insert(Value(2.0));
    inner2.insert(Value(1));
    EXPECT_TRUE(nested.insert(Value(std::move(inner1))));
    EXPECT_FALSE(nested.insert(Value(std::move(inner2))));
    EXPECT_EQ(nested.size(), 3u);

    // A container that holds itself still hashes.
    Value loop = Value::array({Value(1)});
    loop.append(loop);
    EXPECT_TRUE(nested.insert(loop));
    loop.arrayPtr()->clear();
}

// Removals leave the rest in order, a removed key comes back at the end, and removing every key
// of a large dictionary from the front costs time in proportion to its size.
TEST(Value, DictionaryRemovalsKeepTheOrderAndTakeLinearTime) {
    ValueDictionary d;
    for (int i = 0; i < 8; ++i) d.set("k" + std::to_string(i), Value(i));
    EXPECT_TRUE(d.remove("k0"));
    EXPECT_TRUE(d.remove("k3"));
    EXPECT_FALSE(d.remove("k3"));
    d.set("k0", Value(10));
    d.set("k5", Value());
    EXPECT_EQ(d.keys(), (std::vector<std::string>{"k1", "k2", "k4", "k6", "k7", "k0"}));
    EXPECT_EQ(d.size(), 6u);
    EXPECT_TRUE(d.get("k3").isNull());
    EXPECT_EQ(d.get("k0").integerValue(), 10);
    std::vector<long long> seen;
    for (const auto& [key, value] : d) seen.push_back(value.integerValue());
    EXPECT_EQ(seen, (std::vector<long long>{1, 2, 4, 6, 7, 10}));
    EXPECT_TRUE(Value(d).isEqual(Value::dictionary({{"k0", Value(10)},
                                                    {"k7", Value(7)},
                                                    {"k6", Value(6)},
                                                    {"k4", Value(4)},
                                                    {"k2", Value(2)},
                                                    {"k1", Value(1)}})));
    for (const auto& key : d.keys()) d.remove(key);
    EXPECT_TRUE(d.empty());
    EXPECT_TRUE(d.begin() == d.end());

    // Timed against filling it, so that a loaded machine slows both alike.
    constexpr int kKeys = 3000;
    using SteadyClock = std::chrono::steady_clock;
    // The best of three rounds each, so that a busy spell of the machine does not decide.
    ValueDictionary large;
    double fill = 1e9, empty = 1e9;
    for (int round = 0; round < 3; ++round) {
        large = ValueDictionary();
        const auto start = SteadyClock::now();
        for (int i = 0; i < kKeys; ++i) large.set("key" + std::to_string(i), Value(i));
        const auto filled = SteadyClock::now();
        for (int i = 0; i < kKeys - 3; ++i) large.remove("key" + std::to_string(i));
        const auto emptied = SteadyClock::now();
        fill = std::min(fill, std::chrono::duration<double>(filled - start).count());
        empty = std::min(empty, std::chrono::duration<double>(emptied - filled).count());
    }
    EXPECT_LT(empty, 4 * fill + 0.05);
    EXPECT_EQ(large.keys(), (std::vector<std::string>{"key2997", "key2998", "key2999"}));
    EXPECT_EQ(large.get("key2998").integerValue(), 2998);
}

// Items that differ only far down still hash apart: a set of deep chains compares each new chain
// with next to none of the others.
TEST(Value, SetsOfDeepItemsThatDifferAtTheBottomDoNotCollide) {
    int asked = 0;
    ValueSet set;
    for (int i = 0; i < 500; ++i) {
        Value chain = Value::array({Value(std::make_shared<CountedObject>(&asked)), Value(i)});
        for (int level = 0; level < 20; ++level) chain = Value::array({chain});
        EXPECT_TRUE(set.insert(chain));
    }
    EXPECT_LT(asked, 50);
    EXPECT_EQ(set.size(), 500u);
}

// Contents shared many times over (each level names the one below twice) are hashed and compared
// once per shared container, not once per path to it.
TEST(Value, SharedContentsAreComparedOncePerContainer) {
    int asked = 0;
    auto ladder = [&asked] {
        Value level = Value::array({Value(std::make_shared<CountedObject>(&asked))});
        for (int i = 0; i < 20; ++i) level = Value::array({level, level});
        return level;
    };
    Value a = ladder();
    Value b = ladder();
    EXPECT_TRUE(a.isEqual(b));
    EXPECT_LE(asked, 2);
    ValueSet set;
    EXPECT_TRUE(set.insert(a));
    EXPECT_FALSE(set.insert(b));
    EXPECT_LE(asked, 4);
}
