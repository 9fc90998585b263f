// Tagged comment payloads, comment stripping and the JSON readers.
#include <gtest/gtest.h>

#include "foundation/string_custom_payload.h"

TEST(TaggedPayload, FindsThePayloadOfTheFirstTaggedComment) {
    EXPECT_EQ(dravelinqt("<html><!-- DRAVELINQT:[1,2]--></html>"), "[1,2]");
    Value array = jsonArray(*dravelinqt("<!-- DRAVELINQT:[1,2]-->"));
    ASSERT_TRUE(array.isArray());
    EXPECT_EQ(array.count(), 2u);
    EXPECT_EQ(dravelinqt("<!-- dravelinqt:{}-->"), "{}");
    EXPECT_EQ(dravelinqt("<!-- DraVelInQt:{\"a\":1}-->"), "{\"a\":1}");
    EXPECT_EQ(dravelinqt("x <!-- DRAVELINQT:[1]--> y <!-- DRAVELINQT:[2]-->"), "[1]");
    EXPECT_EQ(dravelinerror("<!-- DRAVELINQT:[1]--><!-- DRAVELINERROR:{\"e\":5}-->"), "{\"e\":5}");
    EXPECT_EQ(dravelinqt0("<!-- OTHER:ok-->", "other"), "ok");
}

TEST(TaggedPayload, LineBreaksAndTabsAreRemovedBeforeMatching) {
    std::string page = "<body>\r\n<!-- DRAVELINQT:[\n  {\"name\":\t\"a\tb\"},\r\n  2\n]-->\n</body>";
    EXPECT_EQ(dravelinqt(page), "[  {\"name\":\"ab\"},  2]");
    // The tag itself may be split by a line break in the page.
    EXPECT_EQ(dravelinqt("<!-- DRAVE\nLINQT:[3]-->"), "[3]");
    EXPECT_EQ(dravelinqt("<!-- DRAVELINQT:é😀\u00e9-->"), "é😀\u00e9");
}

TEST(TaggedPayload, WrongFormsAndMissingTagsGiveNone) {
    EXPECT_FALSE(dravelinqt(""));
    EXPECT_FALSE(dravelinqt("no comment here"));
    EXPECT_FALSE(dravelinqt("<!--DRAVELINQT:[1]-->"));
    EXPECT_FALSE(dravelinqt("<!-- DRAVELINQT :[1]-->"));
    EXPECT_FALSE(dravelinqt("<!--  DRAVELINQT:[1]-->"));
    EXPECT_FALSE(dravelinqt("<!-- DRAVELINQT:-->"));
    EXPECT_FALSE(dravelinqt("<!-- DRAVELINQT:[1]"));
    // An empty payload runs on to the next terminator.
    EXPECT_EQ(dravelinqt("<!-- DRAVELINQT:--> tail <!-- x -->"), "--> tail <!-- x ");
    // A tag that is not a valid pattern finds nothing instead of failing loudly.
    EXPECT_FALSE(dravelinqt0("<!-- a(:x-->", "a("));
}

TEST(TaggedPayload, BrokenJsonIsNullAfterExtraction) {
    auto payload = dravelinqt("<!-- DRAVELINQT:[1, 2-->");
    ASSERT_TRUE(payload);
    EXPECT_TRUE(jsonArray(*payload).isNull());
    EXPECT_TRUE(jsonDictionary("{\"a\":}").isNull());
    EXPECT_TRUE(json("").isNull());
    EXPECT_TRUE(json("\xFF\xFE").isNull());
}

TEST(TaggedPayload, CommentsAndLineBreaksAreStripped) {
    EXPECT_EQ(removeCommentsNewLines("a<!-- one -->b\n<!--\ntwo-->c\t<!-- UNCLOSED"), "abc<!-- UNCLOSED");
    EXPECT_EQ(removeCommentsNewLines(""), "");
}

TEST(JsonReaders, KindIsTheCallersToCheck) {
    EXPECT_TRUE(jsonDictionary("[1,2]").isArray());
    EXPECT_EQ(jsonArray("\"just text\""), Value("just text"));
    EXPECT_EQ(json("42"), Value(42));
    EXPECT_EQ(utf8Data("é"), (Bytes{0xC3, 0xA9}));
}

TEST(JsonReaders, UnescapingIsASecondTry) {
    // "\x22" stands for a double quote: the raw text is not JSON, the unescaped text is.
    std::string escaped = R"({\x22a\x22:1})";
    EXPECT_TRUE(jsonDictionary(escaped).isNull());
    Value d = jsonDictionary_unescapeString(escaped);
    ASSERT_TRUE(d.isDictionary());
    EXPECT_EQ(d["a"], Value(1));
    EXPECT_EQ(jsonArray_unescapeString("[1]"), Value::array({1}));
    EXPECT_TRUE(jsonArray_unescapeString("[\\x5").isNull());
}

TEST(TaggedPayload, ACraftedPageEndsTheSearchWithoutAPayload) {
    // Tags that open and never close, each tried to the end of the page.
    std::string crafted;
    while (crafted.size() < 320 * 1024) crafted += "<!-- DRAVELINQT:[";
    EXPECT_FALSE(dravelinqt(crafted));
    // A page just as long whose payload sits at the end is still read.
    std::string honest(320 * 1024, ' ');
    honest += "<!-- DRAVELINQT:[7]-->";
    EXPECT_EQ(dravelinqt(honest), "[7]");
}
