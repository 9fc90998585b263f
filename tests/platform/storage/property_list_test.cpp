// Property lists in XML and binary: kinds, edge values, malformed and deep input.
#include "platform/storage/property_list.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "test_support.h"

namespace {

Value roundTrip(const Value& value, NSPropertyListFormat format) {
    auto data = NSPropertyListSerialization::dataWithPropertyList(value, format);
    EXPECT_TRUE(data.ok()) << (data.ok() ? "" : data.error());
    if (!data) return Value();
    NSPropertyListFormat detected{};
    auto back = NSPropertyListSerialization::propertyListWithData(*data, &detected);
    EXPECT_TRUE(back.ok()) << (back.ok() ? "" : back.error());
    EXPECT_EQ(detected, format);
    return back ? *back : Value();
}

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

}  // namespace

TEST(PropertyList, EveryKindSurvivesBothFormats) {
    Value sample = samplePropertyList();
    EXPECT_TRUE(sameKindsAndValues(sample, roundTrip(sample, NSPropertyListBinaryFormat_v1_0)));
    EXPECT_TRUE(sameKindsAndValues(sample, roundTrip(sample, NSPropertyListXMLFormat_v1_0)));
    // Order of keys is part of what callers see when they list a dictionary.
    EXPECT_EQ(roundTrip(sample, NSPropertyListBinaryFormat_v1_0).dictionaryPtr()->keys(),
              sample.dictionaryPtr()->keys());
}

TEST(PropertyList, FloatKeepsItsKindOnlyInBinary) {
    Value list = Value::array({Value(0.1f), Value(0.5), Value(-3.25f)});
    Value binary = roundTrip(list, NSPropertyListBinaryFormat_v1_0);
    EXPECT_EQ(binary[kFirst].kind(), Value::Kind::Float);
    EXPECT_EQ(binary[kFirst].floatValue(), 0.1f);
    // A double that a float could hold exactly must not turn into a float.
    EXPECT_EQ(binary[1].kind(), Value::Kind::Double);
    EXPECT_EQ(binary[2].kind(), Value::Kind::Float);

    Value xml = roundTrip(list, NSPropertyListXMLFormat_v1_0);
    EXPECT_EQ(xml[kFirst].kind(), Value::Kind::Double);
    EXPECT_EQ(xml[kFirst].doubleValue(), 0.1);  // written as the float's shortest text
}

TEST(PropertyList, NonFiniteRealsAndFractionalDates) {
    Value list = Value::array({Value(INFINITY), Value(-INFINITY), Value(NAN), Value::date(12.75)});
    for (auto format : {NSPropertyListBinaryFormat_v1_0, NSPropertyListXMLFormat_v1_0}) {
        Value back = roundTrip(list, format);
        EXPECT_EQ(back[kFirst].doubleValue(), INFINITY);
        EXPECT_EQ(back[1].doubleValue(), -INFINITY);
        EXPECT_TRUE(std::isnan(back[2].doubleValue()));
        ASSERT_TRUE(back[3].isDate());
        EXPECT_EQ(back[3].dateValue(), format == NSPropertyListBinaryFormat_v1_0 ? 12.75 : 12.0);
    }
}

TEST(PropertyList, ValuesWithoutAPropertyListFormAreRefused) {
    Value cyclic = Value::array();
    cyclic.append(cyclic);
    ValueSet set;
    set.insert(Value(1));
    for (auto format : {NSPropertyListBinaryFormat_v1_0, NSPropertyListXMLFormat_v1_0}) {
        EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(Value(), format).ok());
        EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(Value::array({Value(1), Value()}), format).ok());
        EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(Value(set), format).ok());
        EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(cyclic, format).ok());
        EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(Value(std::string("\xff\xfe")), format).ok());
    }
    cyclic.arrayPtr()->clear();  // break the cycle so the test does not leak
    // XML cannot carry most control characters; binary can.
    Value bell("ring \x07");
    EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(bell, NSPropertyListXMLFormat_v1_0).ok());
    EXPECT_TRUE(sameKindsAndValues(bell, roundTrip(bell, NSPropertyListBinaryFormat_v1_0)));
    Value carriageReturn("a\r\nb");
    EXPECT_TRUE(sameKindsAndValues(carriageReturn, roundTrip(carriageReturn, NSPropertyListXMLFormat_v1_0)));
}

TEST(PropertyList, ReadsHandWrittenXml) {
    auto plist = NSPropertyListSerialization::propertyListWithData(bytesOf(R"(<?xml version="1.0" encoding="UTF-8"?>
<plist version="1.0">
<dict>
  <key>name</key><string>Korva &amp; co</string>
  <key>count</key><integer> 42 </integer>
  <key>big</key><integer>18446744073709551615</integer>
  <key>ratio</key><real>1e-3</real>
  <key>when</key><date>2001-01-02T00:00:01Z</date>
  <key>blob</key><data>
    AAEC
    /w==
  </data>
  <key>list</key><array><true/><false/><string/></array>
</dict>
</plist>)"));
    ASSERT_TRUE(plist.ok()) << plist.error();
    EXPECT_EQ(*(*plist)["name"].string(), "Korva & co");
    EXPECT_EQ((*plist)["count"].kind(), Value::Kind::Int);
    EXPECT_EQ((*plist)["count"].integerValue(), 42);
    EXPECT_EQ((*plist)["big"].kind(), Value::Kind::UInt);
    EXPECT_EQ((*plist)["ratio"].doubleValue(), 1e-3);
    EXPECT_EQ((*plist)["when"].dateValue(), 86401.0);
    EXPECT_EQ(*(*plist)["blob"].bytes(), (Bytes{0, 1, 2, 255}));
    EXPECT_EQ((*plist)["list"].count(), 3u);
    EXPECT_EQ(*(*plist)["list"][2].string(), "");
}

TEST(PropertyList, ReadsXmlInTheEncodingItDeclares) {
    Bytes utf16{0xFF, 0xFE};  // little-endian byte-order mark
    for (char32_t c :
         std::u32string(U"<?xml version=\"1.0\" encoding=\"UTF-16\"?><plist><string>\u00e9t\u00e9</string></plist>")) {
        utf16.push_back(static_cast<std::uint8_t>(c & 0xFF));
        utf16.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    auto plist = NSPropertyListSerialization::propertyListWithData(utf16);
    ASSERT_TRUE(plist.ok()) << plist.error();
    EXPECT_EQ(*plist->string(), "été");
}

TEST(PropertyList, MalformedInputFailsWithAMessage) {
    const char* broken[] = {
        "",
        "not a plist",
        "<plist><dict><key>a</key></dict></plist>",        // key without value
        "<plist><dict><string>x</string></dict></plist>",  // value without key
        "<plist><integer>12x</integer></plist>",
        "<plist><integer>99999999999999999999</integer></plist>",  // beyond 64 bits
        "<plist><real>fast</real></plist>",
        "<plist><date>yesterday</date></plist>",
        "<plist><data>!!!!</data></plist>",
        "<plist><string>a</string><string>b</string></plist>",  // two values
        "<plist><array><widget/></array></plist>",
        "<plist><array><string>a<b/></string></array></plist>",
        "<plist><array>",  // truncated
        "bplist00",
        "bplist00\xd0\x08\x00\x00\x00\x00\x00\x00\x01\x01",
    };
    for (const char* text : broken) {
        auto result = NSPropertyListSerialization::propertyListWithData(bytesOf(text));
        EXPECT_FALSE(result.ok()) << text;
        if (!result) {
            EXPECT_FALSE(result.error().empty());
        }
    }
}

TEST(PropertyList, DeepNestingIsRefusedNotOverflowed) {
    std::string deep = "<plist>";
    for (int i = 0; i < 100000; ++i) deep += "<array>";
    EXPECT_FALSE(NSPropertyListSerialization::propertyListWithData(bytesOf(deep)).ok());

    Value outer = Value::array();
    Value inner = outer;
    for (int i = 0; i < 2000; ++i) {
        Value next = Value::array();
        inner.append(next);
        inner = next;
    }
    EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(outer, NSPropertyListBinaryFormat_v1_0).ok());
    EXPECT_FALSE(NSPropertyListSerialization::dataWithPropertyList(outer, NSPropertyListXMLFormat_v1_0).ok());
}

TEST(PropertyList, FilesAreWrittenAndReadWhole) {
    TempFolder folder;
    std::string path = folder / "settings.plist";
    ASSERT_TRUE(writePropertyListFile(path, samplePropertyList()).ok());
    NSPropertyListFormat format{};
    auto back = readPropertyListFile(path, &format);
    ASSERT_TRUE(back.ok()) << back.error();
    EXPECT_EQ(format, NSPropertyListBinaryFormat_v1_0);
    EXPECT_TRUE(sameKindsAndValues(samplePropertyList(), *back));
    EXPECT_FALSE(readPropertyListFile(folder / "missing.plist").ok());
}
