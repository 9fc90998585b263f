// JSON reading and writing: number kinds, escapes, fragments, depth and refusals.
#include "platform/storage/json.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

#include "test_support.h"

namespace {

Value parse(std::string_view text) {
    auto result = NSJSONSerialization::JSONObjectWithString(text);
    EXPECT_TRUE(result.ok()) << text << ": " << (result.ok() ? "" : result.error());
    return result ? *result : Value();
}

std::string write(const Value& value, unsigned options = NSJSONWritingCompact) {
    auto result = NSJSONSerialization::stringWithJSONObject(value, options);
    EXPECT_TRUE(result.ok()) << (result.ok() ? "" : result.error());
    return result ? *result : std::string();
}

}  // namespace

TEST(Json, KindsSurviveARoundTrip) {
    Value original(ValueDictionary{
        {"int", Value(-12)},
        {"big", Value(~0ull)},
        {"signedEdge", Value(INT64_MIN)},
        {"double", Value(0.1)},
        {"whole double", Value(3.0)},
        {"tiny", Value(5e-324)},
        {"bool", Value(true)},
        {"text", Value("tab\t \"quoted\" back\\slash \x01 Näkymä 📷")},
        {"list", Value::array({Value(1), Value(), Value("x"), Value::array()})},
        {"object", Value::dictionary({{"z", 1}, {"a", 2}})},
    });
    Value back = parse(write(original));
    EXPECT_TRUE(sameKindsAndValues(original, back));
    EXPECT_EQ(back["object"].dictionaryPtr()->keys(), (std::vector<std::string>{"z", "a"}));
    // A float is written by its own shortest text and read back as a double.
    Value f = parse(write(Value(0.1f)));
    EXPECT_EQ(f.kind(), Value::Kind::Double);
    EXPECT_EQ(f.doubleValue(), 0.1);
}

TEST(Json, WritesCompactByDefault) {
    Value value = Value::dictionary({{"b", Value::array({1, 2})}, {"a", "x/y"}});
    EXPECT_EQ(write(value), R"({"b":[1,2],"a":"x/y"})");
    EXPECT_EQ(write(value, NSJSONWritingSortedKeys), R"({"a":"x/y","b":[1,2]})");
    EXPECT_EQ(write(value, NSJSONWritingPrettyPrinted), "{\n  \"b\" : [\n    1,\n    2\n  ],\n  \"a\" : \"x/y\"\n}");
    EXPECT_EQ(write(Value::array()), "[]");
    EXPECT_EQ(write(Value(1.5)), "1.5");
}

TEST(Json, ReadsFragmentsAndNumberKinds) {
    EXPECT_EQ(*parse(R"("just a string")").string(), "just a string");
    EXPECT_TRUE(parse("null").isNull());
    EXPECT_EQ(parse(" 42 ").kind(), Value::Kind::Int);
    EXPECT_EQ(parse("9223372036854775807").kind(), Value::Kind::Int);
    EXPECT_EQ(parse("9223372036854775808").kind(), Value::Kind::UInt);
    EXPECT_EQ(parse("-9223372036854775808").integerValue(), INT64_MIN);
    EXPECT_EQ(parse("1e2").kind(), Value::Kind::Double);
    EXPECT_EQ(parse("2.0").kind(), Value::Kind::Double);
    EXPECT_EQ(*parse(R"("\u00e9\ud83d\udcf7")").string(), "é📷");
    EXPECT_TRUE(parse(R"({"gone":null,"kept":1})")["gone"].isNull());
}

TEST(Json, InvalidInputFailsWithAMessage) {
    for (const char* text :
         {"", "{", "[1,]", "{\"a\" 1}", "tru", "01", "\"\xff\"", "1e999", "[1] [2]", "{'a':1}", "\"\\ud800\""}) {
        auto result = NSJSONSerialization::JSONObjectWithString(text);
        EXPECT_FALSE(result.ok()) << text;
        if (!result) {
            EXPECT_NE(result.error().find("JSON"), std::string::npos) << result.error();
        }
    }
}

TEST(Json, DepthIsLimitedBothWays) {
    std::string ok(NSJSONSerialization::maxDepth, '[');
    ok += std::string(NSJSONSerialization::maxDepth, ']');
    EXPECT_TRUE(NSJSONSerialization::JSONObjectWithString(ok).ok());
    std::string deep(200000, '[');
    auto result = NSJSONSerialization::JSONObjectWithString(deep + std::string(200000, ']'));
    ASSERT_FALSE(result.ok());
    EXPECT_NE(result.error().find("deeper"), std::string::npos);

    Value outer = Value::array();
    Value inner = outer;
    for (int i = 0; i < NSJSONSerialization::maxDepth + 5; ++i) {
        Value next = Value::array();
        inner.append(next);
        inner = next;
    }
    EXPECT_FALSE(NSJSONSerialization::stringWithJSONObject(outer).ok());
}

TEST(Json, ValuesWithoutJsonFormAreRefused) {
    Value cyclic = Value::dictionary();
    cyclic.set("self", cyclic);
    int index = 0;
    for (const Value& value :
         {Value(NAN), Value(INFINITY), Value(-HUGE_VAL), Value::data({1}), Value::date(0), Value(ValueSet{}),
          Value(make<NSObject>()), Value(std::string("\xc3")), Value::array({Value(1), Value(std::nan(""))}), cyclic}) {
        EXPECT_FALSE(NSJSONSerialization::isValidJSONObject(value)) << "value " << index;
        EXPECT_FALSE(NSJSONSerialization::dataWithJSONObject(value).ok()) << "value " << index;
        ++index;
    }
    cyclic.dictionaryPtr()->clear();
}

// Each null takes its key out again; an object that names thousands of keys and then nulls them
// from the first on reads in time linear in its length, keeping the order of what is left.
TEST(Json, ObjectsThatRemoveKeysWithNullReadInLinearTime) {
    EXPECT_EQ(parse(R"({"a":1,"b":2,"a":null,"c":3,"a":4})").dictionaryPtr()->keys(),
              (std::vector<std::string>{"b", "c", "a"}));
    // Timed against an object of as many distinct keys, so that a loaded machine slows both alike.
    constexpr int kKeys = 3000;
    auto member = [](int i, const std::string& value) { return "\"key" + std::to_string(i) + "\":" + value + ","; };
    std::string removing = "{", plain = "{";
    for (int i = 0; i < kKeys; ++i) removing += member(i, std::to_string(i));
    for (int i = 0; i < kKeys - 2; ++i) removing += member(i, "null");
    for (int i = 0; i < 2 * kKeys - 2; ++i) plain += member(i, "1");
    removing += "\"last\":true}";
    plain += "\"last\":true}";
    // The best of three, so that a busy spell of the machine does not decide.
    auto secondsToParse = [](const std::string& text, Value& into) {
        double best = 1e9;
        for (int round = 0; round < 3; ++round) {
            const auto start = std::chrono::steady_clock::now();
            into = parse(text);
            best = std::min(best, std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        }
        return best;
    };
    Value read, baseline;
    const double plainSeconds = secondsToParse(plain, baseline);
    const double removingSeconds = secondsToParse(removing, read);
    EXPECT_LT(removingSeconds, 2 * plainSeconds + 0.1);
    EXPECT_EQ(baseline.count(), static_cast<std::size_t>(2 * kKeys - 1));
    ASSERT_TRUE(read.isDictionary());
    EXPECT_EQ(read.dictionaryPtr()->keys(), (std::vector<std::string>{"key2998", "key2999", "last"}));
}
