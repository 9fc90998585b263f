// Cross-checks the binary property-list format against an independent reader and writer.
#include <gtest/gtest.h>
#include <plist/plist.h>

#include <cstdlib>
#include <memory>

#include "platform/storage/keyed_archive.h"
#include "platform/storage/property_list.h"
#include "test_support.h"

namespace {

struct PlistFree {
    void operator()(void* node) const { plist_free(node); }
};
using Plist = std::unique_ptr<void, PlistFree>;

Plist parseElsewhere(const Bytes& data) {
    plist_t node = nullptr;
    plist_from_bin(reinterpret_cast<const char*>(data.data()), static_cast<uint32_t>(data.size()), &node);
    return Plist(node);
}

std::string stringOf(plist_t node) {
    char* text = nullptr;
    plist_get_string_val(node, &text);
    std::string result = text ? text : "";
    std::free(text);
    return result;
}

}  // namespace

TEST(PlistInterop, BinaryListsReadTheSameBothWays) {
    Value sample = samplePropertyList();
    // The other writer stores 64-bit integers signed only; leave the unsigned edge out.
    sample.dictionaryPtr()->remove("above signed range");
    auto ours = NSPropertyListSerialization::dataWithPropertyList(sample, NSPropertyListBinaryFormat_v1_0);
    ASSERT_TRUE(ours.ok());
    Plist theirs = parseElsewhere(*ours);
    ASSERT_TRUE(theirs);
    ASSERT_EQ(plist_get_node_type(theirs.get()), PLIST_DICT);
    EXPECT_EQ(plist_dict_get_size(theirs.get()), sample.count());
    EXPECT_EQ(stringOf(plist_dict_get_item(theirs.get(), "unicode")), *sample["unicode"].string());
    uint64_t number = 0;
    plist_get_uint_val(plist_dict_get_item(theirs.get(), "negative"), &number);
    EXPECT_EQ(static_cast<int64_t>(number), -5);
    double real = 0;
    plist_get_real_val(plist_dict_get_item(theirs.get(), "double"), &real);
    EXPECT_EQ(real, 0.1);
    EXPECT_EQ(plist_array_get_size(plist_dict_get_item(theirs.get(), "many")), 40u);

    // Their writer's output (their choice of integer and real widths, their object order) reads
    // back as the same values.
    char* bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(theirs.get(), &bin, &length);
    ASSERT_NE(bin, nullptr);
    Bytes rewritten(bin, bin + length);
    plist_to_bin_free(bin);
    auto back = NSPropertyListSerialization::propertyListWithData(rewritten);
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_TRUE(back->isEqual(sample));
    EXPECT_EQ((*back)["minimum"].integerValue(), INT64_MIN);
    EXPECT_EQ((*back)["unicode"], sample["unicode"]);
}

TEST(PlistInterop, ArchiveReferencesAreRealUIDs) {
    auto archive = NSKeyedArchiver::archivedDataWithRootObject(Value::array({Value("a")}));
    ASSERT_TRUE(archive.ok());
    Plist theirs = parseElsewhere(*archive);
    ASSERT_TRUE(theirs);
    plist_t root = plist_dict_get_item(plist_dict_get_item(theirs.get(), "$top"), "root");
    ASSERT_EQ(plist_get_node_type(root), PLIST_UID);
    uint64_t uid = 0;
    plist_get_uid_val(root, &uid);
    plist_t objects = plist_dict_get_item(theirs.get(), "$objects");
    EXPECT_EQ(stringOf(plist_array_get_item(objects, 0)), "$null");
    plist_t array = plist_array_get_item(objects, static_cast<uint32_t>(uid));
    ASSERT_EQ(plist_get_node_type(array), PLIST_DICT);
    EXPECT_EQ(plist_get_node_type(plist_dict_get_item(array, "$class")), PLIST_UID);
    uint64_t version = 0;
    plist_get_uint_val(plist_dict_get_item(theirs.get(), "$version"), &version);
    EXPECT_EQ(version, 100000u);
}
