// Property lists made to hurt the reader: objects named so often that they would unfold into
// gigabytes, and sets large enough that building them item by item against every other item
// would take hours. And strings the XML writer must not claim to have written.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/storage/file_manager.h"
#include "platform/storage/property_list.h"
#include "platform/storage/user_defaults.h"
#include "tests/platform/storage/binary_plist_builder.h"
#include "test_support.h"

TEST(HostilePropertyList, AListThatUnfoldsFarBeyondItsSizeIsRefused) {
    auto read = NSPropertyListSerialization::propertyListWithData(unfoldingPropertyList());
    ASSERT_FALSE(read);
    EXPECT_NE(read.error().find("far more than the file holds"), std::string::npos) << read.error();

    // Sharing as a sound writer shares still reads: one long string, stored once, used in
    // twenty thousand places.
    BinaryPlistBuilder b;
    const std::string longText(4096, 's');
    std::uint32_t text = b.string(longText);
    auto sane = NSPropertyListSerialization::propertyListWithData(
        b.build(b.container(0xA, std::vector<std::uint32_t>(20000, text))));
    ASSERT_TRUE(sane) << sane.error();
    EXPECT_EQ(sane->count(), 20000u);
    EXPECT_EQ((*sane)[19999].stringValue(), longText);
}

// A dictionary is decoded afresh for every reference, and each copy keeps its key twice: a long
// key named by thousands of references counts against the allowance at every use, and a store
// made of such a list is set aside rather than loaded.
TEST(HostilePropertyList, ADictionaryNamedManyTimesCountsItsKeyAtEveryUse) {
    BinaryPlistBuilder b;
    std::uint32_t key = b.string(std::string(4000, 'k'));
    std::uint32_t dictionary = b.container(0xD, {key, b.integer(1)});
    Bytes hostile = b.build(b.container(0xA, std::vector<std::uint32_t>(30000, dictionary)));
    auto read = NSPropertyListSerialization::propertyListWithData(hostile);
    ASSERT_FALSE(read);
    EXPECT_NE(read.error().find("far more than the file holds"), std::string::npos) << read.error();

    TempFolder folder;
    std::string path = folder / "prefs.plist";
    ASSERT_TRUE(writeFileAtomically(path, hostile).ok());
    EXPECT_EQ(NSUserDefaults::make(path)->dictionaryRepresentation().count(), 0u);
    EXPECT_TRUE(std::filesystem::exists(path + ".unreadable"));

    // The same dictionary named a few hundred times, as a sound list may, still reads.
    BinaryPlistBuilder few;
    std::uint32_t shortKey = few.string("setting");
    std::uint32_t entry = few.container(0xD, {shortKey, few.integer(2)});
    auto sane = NSPropertyListSerialization::propertyListWithData(
        few.build(few.container(0xA, std::vector<std::uint32_t>(500, entry))));
    ASSERT_TRUE(sane) << sane.error();
    EXPECT_EQ((*sane)[499]["setting"].integerValue(), 2);
}

TEST(HostilePropertyList, LargeSetsAndDictionariesBuildInLinearTime) {
    // Built one by one against every earlier member, this set would keep the reader busy for
    // longer than the whole suite may take.
    constexpr std::uint32_t kMembers = 200000;
    BinaryPlistBuilder b;
    std::vector<std::uint32_t> members;
    for (std::uint32_t i = 0; i < kMembers; ++i) members.push_back(b.integer(i % (kMembers / 2)));
    std::uint32_t set = b.container(0xC, members);
    std::vector<std::uint32_t> entries;
    for (std::uint32_t i = 0; i < kMembers / 2; ++i) entries.push_back(b.string("k" + std::to_string(i)));
    for (std::uint32_t i = 0; i < kMembers / 2; ++i) entries.push_back(members[i]);
    std::uint32_t dictionary = b.container(0xD, entries);
    auto read = NSPropertyListSerialization::propertyListWithData(b.build(b.container(0xA, {set, dictionary})));
    ASSERT_TRUE(read) << read.error();
    const ValueSet* readSet = (*read)[std::size_t{0}].setPtr();
    ASSERT_TRUE(readSet);
    EXPECT_EQ(readSet->size(), kMembers / 2);  // duplicates fold
    EXPECT_TRUE(readSet->contains(Value(kMembers / 2 - 1)));
    EXPECT_TRUE(readSet->contains(Value(7.0)));  // numbers meet across kinds
    EXPECT_FALSE(readSet->contains(Value(kMembers)));
    const Value readDictionary = (*read)[std::size_t{1}];
    EXPECT_EQ(readDictionary.count(), kMembers / 2);
    EXPECT_EQ(readDictionary["k12345"].integerValue(), 12345);
}

TEST(HostilePropertyList, TheXmlWriterRefusesCharactersXmlCannotCarry) {
    for (const char* bad : {"a\xEF\xBF\xBE", "\xEF\xBF\xBF", "\x01"}) {
        auto asValue = NSPropertyListSerialization::dataWithPropertyList(Value::array({Value(bad)}), NSPropertyListXMLFormat_v1_0);
        EXPECT_FALSE(asValue);
        auto asKey = NSPropertyListSerialization::dataWithPropertyList(Value::dictionary({{bad, Value(1)}}),
                                                                       NSPropertyListXMLFormat_v1_0);
        EXPECT_FALSE(asKey);
        // The binary form carries any string.
        EXPECT_TRUE(NSPropertyListSerialization::dataWithPropertyList(Value::array({Value(bad)}),
                                                                      NSPropertyListBinaryFormat_v1_0));
    }
    // The characters just beside them are fine and come back.
    Value edge = Value::array({Value("\xEF\xBF\xBD"), Value("\xEF\xB7\x90"), Value("\xF0\x9F\x98\x80")});
    auto written = NSPropertyListSerialization::dataWithPropertyList(edge, NSPropertyListXMLFormat_v1_0);
    ASSERT_TRUE(written);
    auto back = NSPropertyListSerialization::propertyListWithData(*written);
    ASSERT_TRUE(back) << back.error();
    EXPECT_EQ(*back, edge);
}
