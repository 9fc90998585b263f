// Keyed archives: round trips, the archive's shape, hand-made and damaged archives.
#include "platform/storage/keyed_archive.h"

#include <gtest/gtest.h>

#include <random>

#include "platform/storage/property_list.h"
#include "test_support.h"

namespace {

Value archiveTree() {
    ValueSet tags;
    tags.insert(Value("warm"));
    tags.insert(Value(7));
    Value sample = samplePropertyList();
    sample.set("float", Value(0.25f));
    sample.set("tags", Value(std::move(tags)));
    sample.set("nothing inside", Value::array({Value(1), Value(), Value(3)}));
    return sample;
}

Value uid(long long n) {
    return Value(ValueDictionary{{"CF$UID", Value(n)}});
}

// An archive built by hand, to feed the reader shapes the archiver never writes.
Bytes handArchive(ValueArray objects, Value root = uid(1)) {
    Value top(ValueDictionary{{"$archiver", Value("NSKeyedArchiver")},
                              {"$version", Value(100000)},
                              {"$top", Value(ValueDictionary{{"root", root}})},
                              {"$objects", Value(std::move(objects))}});
    auto data = NSPropertyListSerialization::dataWithPropertyList(top, NSPropertyListXMLFormat_v1_0);
    return data ? *data : Bytes{};
}

Value classEntry(const char* name) {
    return Value(
        ValueDictionary{{"$classname", Value(name)}, {"$classes", Value::array({Value(name), Value("NSObject")})}});
}

}  // namespace

TEST(KeyedArchive, ValuesAndKindsSurviveARoundTrip) {
    Value original = archiveTree();
    auto data = NSKeyedArchiver::archivedDataWithRootObject(original);
    ASSERT_TRUE(data.ok()) << data.error();
    auto back = NSKeyedUnarchiver::unarchiveObjectWithData(*data);
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_TRUE(sameKindsAndValues(original, *back));
    EXPECT_EQ((*back)["float"].kind(), Value::Kind::Float);
    EXPECT_TRUE((*back)["nothing inside"][1].isNull());

    for (Value scalar : {Value(), Value("just text"), Value(-1), Value::date(5.5)}) {
        auto archived = NSKeyedArchiver::archivedDataWithRootObject(scalar);
        ASSERT_TRUE(archived.ok());
        auto read = NSKeyedUnarchiver::unarchiveObjectWithData(*archived);
        ASSERT_TRUE(read.ok()) << read.error();
        EXPECT_TRUE(sameKindsAndValues(scalar, *read));
    }
}

TEST(KeyedArchive, HasThePlatformArchiveShape) {
    Value root = Value::dictionary({{"list", Value::array({Value("a"), Value::date(1.0)})}});
    auto data = NSKeyedArchiver::archivedDataWithRootObject(root);
    ASSERT_TRUE(data.ok());
    NSPropertyListFormat format{};
    auto plist = NSPropertyListSerialization::propertyListWithData(*data, &format);
    ASSERT_TRUE(plist.ok());
    EXPECT_EQ(format, NSPropertyListBinaryFormat_v1_0);
    const Value& top = *plist;
    EXPECT_EQ(*top["$archiver"].string(), "NSKeyedArchiver");
    EXPECT_EQ(top["$version"].integerValue(), 100000);
    const Value& objects = top["$objects"];
    EXPECT_EQ(*objects[kFirst].string(), "$null");

    auto deref = [&](const Value& ref) -> const Value& {
        EXPECT_TRUE(ref["CF$UID"].isInteger()) << ref.description();
        return objects[static_cast<std::size_t>(ref["CF$UID"].integerValue())];
    };
    const Value& dictionary = deref(top["$top"]["root"]);
    EXPECT_EQ(*deref(dictionary["$class"])["$classname"].string(), "NSMutableDictionary");
    EXPECT_EQ(deref(dictionary["$class"])["$classes"].count(), 3u);
    EXPECT_EQ(*deref(dictionary["NS.keys"][kFirst]).string(), "list");
    const Value& array = deref(dictionary["NS.objects"][kFirst]);
    EXPECT_EQ(*deref(array["$class"])["$classname"].string(), "NSMutableArray");
    EXPECT_EQ(*deref(array["NS.objects"][kFirst]).string(), "a");
    const Value& date = deref(array["NS.objects"][1]);
    EXPECT_EQ(*deref(date["$class"])["$classname"].string(), "NSDate");
    EXPECT_EQ(date["NS.time"].doubleValue(), 1.0);
}

TEST(KeyedArchive, SharedContainersStaySharedAndCyclesAreRefused) {
    Value shared = Value::array({Value(1)});
    Value root = Value::dictionary({{"a", shared}, {"b", shared}});
    auto back = NSKeyedUnarchiver::unarchiveObjectWithData(*NSKeyedArchiver::archivedDataWithRootObject(root));
    ASSERT_TRUE(back.ok());
    EXPECT_EQ((*back)["a"].identity(), (*back)["b"].identity());

    Value cyclic = Value::array();
    cyclic.append(Value::dictionary({{"parent", cyclic}}));
    EXPECT_FALSE(NSKeyedArchiver::archivedDataWithRootObject(cyclic).ok());
    cyclic.arrayPtr()->clear();
    EXPECT_FALSE(NSKeyedArchiver::archivedDataWithRootObject(Value::array({Value(make<NSObject>())})).ok());
}

TEST(KeyedArchive, ReadsOtherWritersFormsAndRefusesWrongShapes) {
    // Strings and data wrapped in their mutable classes, an NSNull, and an unknown subclass.
    ValueArray objects{
        Value("$null"),
        Value(ValueDictionary{{"NS.keys", Value::array({uid(2), uid(3), uid(4)})},
                              {"NS.objects", Value::array({uid(5), uid(7), uid(8)})},
                              {"$class", uid(10)}}),
        Value("s"),
        Value("d"),
        Value("n"),
        Value(ValueDictionary{{"NS.string", Value("hello")}, {"$class", uid(6)}}),
        classEntry("NSMutableString"),
        Value(ValueDictionary{{"NS.data", Value::data({1, 2})}, {"$class", uid(9)}}),
        Value(ValueDictionary{{"$class", uid(11)}}),
        classEntry("NSMutableData"),
        Value(ValueDictionary{{"$classname", Value("KorvaRecord")},
                              {"$classes", Value::array({Value("KorvaRecord"), Value("NSDictionary")})}}),
        classEntry("NSNull")};
    auto read = NSKeyedUnarchiver::unarchiveObjectWithData(handArchive(objects));
    ASSERT_TRUE(read.ok()) << read.error();
    EXPECT_EQ(*(*read)["s"].string(), "hello");
    EXPECT_EQ(*(*read)["d"].bytes(), (Bytes{1, 2}));
    EXPECT_TRUE((*read)["n"].isNull());

    auto refused = [](const Bytes& data) { return !NSKeyedUnarchiver::unarchiveObjectWithData(data).ok(); };
    Value selfArray(ValueDictionary{{"NS.objects", Value::array({uid(1)})}, {"$class", uid(2)}});
    EXPECT_TRUE(refused(handArchive({Value("$null"), selfArray, classEntry("NSArray")})));  // cycle
    Value farArray(ValueDictionary{{"NS.objects", Value::array({uid(99)})}, {"$class", uid(2)}});
    EXPECT_TRUE(refused(handArchive({Value("$null"), farArray, classEntry("NSArray")})));  // out of range
    EXPECT_TRUE(refused(handArchive({Value("$null"), Value(1)}, uid(5))));                 // root out of range
    EXPECT_TRUE(refused(handArchive({Value("$null"), Value(1)}, Value("root"))));          // root not a UID
    Value alien(ValueDictionary{{"x", Value(1)}, {"$class", uid(2)}});
    EXPECT_TRUE(refused(handArchive({Value("$null"), alien, classEntry("UIColor")})));  // unknown class
    Value uneven(
        ValueDictionary{{"NS.keys", Value::array({uid(0)})}, {"NS.objects", Value::array()}, {"$class", uid(2)}});
    EXPECT_TRUE(refused(handArchive({Value("$null"), uneven, classEntry("NSDictionary")})));
    auto plainList =
        NSPropertyListSerialization::dataWithPropertyList(Value::array({Value(1)}), NSPropertyListBinaryFormat_v1_0);
    EXPECT_TRUE(refused(*plainList));
}

TEST(KeyedArchive, DamagedDataReadsAsNothingNeverCrashes) {
    auto data = NSKeyedArchiver::archivedDataWithRootObject(archiveTree());
    ASSERT_TRUE(data.ok());
    const Bytes& good = *data;
    std::mt19937 random(20261206);
    int truncationsRead = 0;
    for (std::size_t length = 0; length < good.size(); length += 1 + length / 64) {
        Bytes cut(good.begin(), good.begin() + static_cast<std::ptrdiff_t>(length));
        truncationsRead += NSKeyedUnarchiver::unarchiveObjectWithData(cut).ok();
    }
    EXPECT_EQ(truncationsRead, 0);  // the trailer is at the end: no prefix is a whole archive
    for (int round = 0; round < 3000; ++round) {
        Bytes damaged = good;
        int flips = 1 + static_cast<int>(random() % 4);
        for (int f = 0; f < flips; ++f) {
            damaged[random() % damaged.size()] ^= static_cast<std::uint8_t>(1u << (random() % 8));
        }
        auto result = NSKeyedUnarchiver::unarchiveObjectWithData(damaged);
        if (!result) {
            EXPECT_FALSE(result.error().empty());
        }
    }
    std::uniform_int_distribution<int> byte(0, 255);
    for (int round = 0; round < 500; ++round) {
        Bytes garbage(static_cast<std::size_t>(random() % 200));
        for (auto& b : garbage) b = static_cast<std::uint8_t>(byte(random));
        if (round % 2 && garbage.size() >= 8) std::copy_n("bplist00", 8, garbage.begin());
        EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithData(garbage).ok());
    }
}

TEST(KeyedArchive, FilesAreWrittenAtomicallyAndReadBack) {
    TempFolder folder;
    std::string path = folder / "store.archive";
    ASSERT_TRUE(NSKeyedArchiver::archiveRootObject(archiveTree(), path).ok());
    auto back = NSKeyedUnarchiver::unarchiveObjectWithFile(path);
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_TRUE(sameKindsAndValues(archiveTree(), *back));
    EXPECT_FALSE(NSKeyedUnarchiver::unarchiveObjectWithFile(folder / "absent").ok());
}
