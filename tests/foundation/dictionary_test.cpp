// Dictionary and array helpers: reads, JSON, query strings, path lookup and the text search.
#include <gtest/gtest.h>

#include "foundation/array_free.h"
#include "foundation/dictionary_custom.h"
#include "foundation/mutable_dictionary_custom.h"

TEST(DictionaryCustom, NullTolerantReads) {
    Value d = Value::dictionary({{"a", 1}, {"s", "x"}});
    EXPECT_EQ(valueForKey1(d, "a"), Value(1));
    EXPECT_TRUE(objectForKeyIgnoreNull(d, "missing").isNull());
    EXPECT_TRUE(valueForKey1(Value(), "a").isNull());
    EXPECT_TRUE(valueForKey1(Value("text"), "a").isNull());
}

TEST(DictionaryCustom, JsonOfWhatJsonCanHold) {
    Value d = Value::dictionary({{"k", Value::array({1, "é", true})}});
    EXPECT_EQ(jsonString(d), R"({"k":[1,"é",true]})");
    EXPECT_EQ(jsonString(Value::array({})), "[]");
    EXPECT_FALSE(jsonData(Value::dictionary({{"d", Value::data({1, 2})}})));
    EXPECT_FALSE(jsonData(Value::dictionary({{"n", std::numeric_limits<double>::quiet_NaN()}})));
}

TEST(DictionaryCustom, QueryStringEscapesKeysAndTextValues) {
    Value d = Value::dictionary({{"q", "a b&c"}, {"n", 3}, {"k=y", "#1"}});
    EXPECT_EQ(queryString(d), "q=a%20b%26c&n=3&k%3Dy=%231");
    EXPECT_EQ(queryString(Value::dictionary()), "");
    EXPECT_EQ(queryString(Value::array({1})), "");
}

TEST(DictionaryCustom, PathLookup) {
    Value d = Value::dictionary({
        {"items", Value::array({Value::dictionary({{"title", "first"}}), "second"})},
        {"config", R"({"mode":"night","deep":{"x":[5,6]}})"},
        {"list", Value::array({1, 2, 3})},
        {"source", "https://example.invalid/page"},
    });
    EXPECT_EQ(at(d, "/items@0/title"), Value("first"));
    EXPECT_EQ(at(d, "/items@1"), Value("second"));
    EXPECT_EQ(at(d, "/items/@0/title"), Value("first"));  // a slash before an index only separates
    EXPECT_EQ(at(d, "/config/:/mode"), Value("night"));
    EXPECT_EQ(at(d, "/items@/title"), Value("first"));  // no digits: index 0
    EXPECT_EQ(at(d, "/config:/mode"), Value("night"));
    EXPECT_EQ(at(d, "/config:/deep/x@1"), Value(6));
    EXPECT_EQ(at(d, ""), d);
    EXPECT_EQ(at(d, "/").identity(), d.identity());
    EXPECT_EQ(at(d, "/list/").identity(), d["list"].identity());  // an empty key stops the walk
    EXPECT_TRUE(at(d, "@0").isNull());
    EXPECT_TRUE(at(d, "/list@5").isNull());
    EXPECT_TRUE(at(d, "/list@99999999999999999999999").isNull());
    EXPECT_TRUE(at(d, "/items:/x").isNull());   // not text
    EXPECT_TRUE(at(d, "/source:/x").isNull());  // text, but not JSON of a dictionary
    EXPECT_TRUE(at(d, "/missing/deeper").isNull());
    EXPECT_TRUE(at(d, "items").isNull());
    EXPECT_TRUE(at(d, "/items#/version").isNull());  // not an address; remote pages: remote_lookup_test
    EXPECT_TRUE(at0(Value(), "/a").isNull());
}

TEST(DictionaryCustom, FirstTextIsFoundDepthFirst) {
    Value nested = Value::dictionary({{"n", 1}, {"inner", Value::array({2, Value::array({"", "y"})})}, {"s", "later"}});
    EXPECT_EQ(anyElementText(nested), "");
    EXPECT_EQ(anyElementText(Value::dictionary({{"a", 1}, {"b", Value::dictionary({{"c", "deep"}})}})), "deep");
    EXPECT_FALSE(anyElementText(Value::dictionary({{"a", 1}})));
    EXPECT_FALSE(anyElementText(Value()));
}

TEST(ArrayFree, GeneralOperations) {
    ValueArray a{1, "x", 2.5};
    EXPECT_TRUE(isExist(a, Value(1.0)));  // numbers compare by value
    EXPECT_FALSE(isExist(a, Value("y")));
    EXPECT_EQ(reversed(a), (ValueArray{2.5, "x", 1}));
    EXPECT_FALSE(onlyStrings(Value::array({})));
    EXPECT_FALSE(onlyStrings(Value("x")));
    EXPECT_EQ(onlyStrings(Value::array({1, "", "x"})), (ValueArray{"x"}));
    EXPECT_EQ(onlyStrings(Value::array({1})), ValueArray{});
    EXPECT_EQ(toStringFromStringArray({"", "a"}), "a");
    EXPECT_EQ(toStringFromStringArray({"a", ""}), "a ");
    EXPECT_EQ(toStringFromStringArray({"a", "", "b"}), "a  b");
    EXPECT_EQ(toStringFromStringArray({}), "");
}

TEST(DictionaryMerge, OverwriteLetsTheOtherWinAtEveryLevel) {
    Value shared = Value::dictionary({{"A", 0}, {"B", 2}});
    ValueDictionary receiver{{"Exif", shared}, {"C", 3}};
    overwrite(receiver, ValueDictionary{{"Exif", Value::dictionary({{"A", 1}})}});
    EXPECT_EQ(Value(receiver), Value::dictionary({{"Exif", Value::dictionary({{"A", 1}, {"B", 2}})}, {"C", 3}}));
    EXPECT_EQ(shared["A"], Value(0));  // the nested dictionary was copied, not edited in place

    ValueDictionary numbers{{"k", 1}};
    overwrite(numbers, ValueDictionary{{"k", Value::dictionary({{"x", 1}})}});
    EXPECT_TRUE(numbers.get("k").isDictionary());
    overwrite(numbers, ValueDictionary{{"k", 5}});
    EXPECT_EQ(numbers.get("k"), Value(5));

    ValueDictionary unchanged{{"a", 1}};
    overwrite(unchanged, {});
    merge(unchanged, {});
    EXPECT_EQ(Value(unchanged), Value::dictionary({{"a", 1}}));
}

TEST(DictionaryMerge, MergeFillsOnlyWhatIsMissingOneLevelDeep) {
    ValueDictionary receiver{{"Exif", Value::dictionary({{"A", 0}, {"B", 2}})}, {"C", 3}};
    merge(receiver, ValueDictionary{{"Exif", Value::dictionary({{"A", 1}})}, {"D", 4}, {"C", 9}});
    EXPECT_EQ(Value(receiver),
              Value::dictionary({{"Exif", Value::dictionary({{"A", 0}, {"B", 2}})}, {"C", 3}, {"D", 4}}));

    ValueDictionary nested{{"x", Value::dictionary({{"deep", Value::dictionary({{"a", 1}})}})}};
    merge(nested, ValueDictionary{{"x", Value::dictionary({{"deep", Value::dictionary({{"b", 2}})}, {"new", 1}})}});
    EXPECT_EQ(nested.get("x")["deep"], Value::dictionary({{"a", 1}}));  // not merged further
    EXPECT_EQ(nested.get("x")["new"], Value(1));
}
