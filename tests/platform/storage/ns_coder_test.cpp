#include "platform/storage/ns_coder.h"

#include <gtest/gtest.h>

#include "platform/storage/keyed_archive.h"

TEST(NSCoder, TypedValuesSurviveTheKeyedArchiveAndWrongKindsReadAsZero) {
    NSCoder out;
    out.encodeBool(true, "flag");
    out.encodeInteger(-42, "count");
    out.encodeDouble(0.25, "level");
    out.encodeObject(Value::array({1, 2}), "list");
    out.encodeObject("text", "name");
    auto data = out.encodedData();
    ASSERT_TRUE(data.ok()) << data.error();

    auto in = NSCoder::decoderWithData(*data);
    ASSERT_TRUE(in.ok()) << in.error();
    EXPECT_TRUE(in->decodeBoolForKey("flag"));
    EXPECT_EQ(in->decodeIntegerForKey("count"), -42);
    EXPECT_EQ(in->decodeDoubleForKey("level"), 0.25);
    EXPECT_EQ(in->decodeObjectForKey("list").count(), 2u);
    EXPECT_TRUE(in->containsValueForKey("name"));
    EXPECT_FALSE(in->containsValueForKey("absent"));
    EXPECT_EQ(in->decodeIntegerForKey("name"), 0) << "a string is no integer here";
    EXPECT_FALSE(in->decodeBoolForKey("list"));
    EXPECT_EQ(in->decodeDoubleForKey("absent"), 0.0);
    EXPECT_TRUE(in->decodeObjectForKey("absent").isNull());
}

TEST(NSCoder, DamagedArchivesAndOtherRootsAreRefused) {
    EXPECT_FALSE(NSCoder::decoderWithData({}).ok());
    EXPECT_FALSE(NSCoder::decoderWithData({'b', 'p', 'l', 'i', 's', 't', '0', '0', 1, 2, 3}).ok());
    NSCoder out;
    out.encodeInteger(1, "a");
    auto data = out.encodedData();
    ASSERT_TRUE(data.ok());
    Bytes cut(data->begin(), data->begin() + static_cast<long>(data->size() / 2));
    EXPECT_FALSE(NSCoder::decoderWithData(cut).ok());
    auto arrayRoot = NSKeyedArchiver::archivedDataWithRootObject(Value::array({1}));
    ASSERT_TRUE(arrayRoot.ok());
    auto refused = NSCoder::decoderWithData(*arrayRoot);
    ASSERT_FALSE(refused.ok());
    EXPECT_NE(refused.error().find("dictionary"), std::string::npos);
}
