// The XML reader's tree: siblings in arrays, text runs, the path lookup, and documents that fail
// part way, name a reserved key, read local files or nest too deep.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "language/my_xml_reader.h"

namespace {

Bytes bytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

// No node anywhere below keeps a parent entry.
bool hasParentEntries(const Value& node) {
    if (!node.isDictionary()) return false;
    if (node.dictionaryPtr()->contains(MyXMLReader::kParent)) return true;
    for (const auto& [key, value] : *node.dictionaryPtr()) {
        if (!value.isArray()) continue;
        for (const Value& child : *value.arrayPtr()) {
            if (hasParentEntries(child)) return true;
        }
    }
    return false;
}

TEST(XMLReaderTest, ChildrenTextAndAttributesByPath) {
    auto reader = MyXMLReader::make(
        bytes("<rss v=\"2\">\n <item id=\"1\">a<c/>b</item>\n <item><title>T</title></item>\n</rss>"));
    ASSERT_TRUE(reader->parse());
    Value items = reader->at("/rss/@0/item");
    ASSERT_EQ(items.count(), 2u);
    EXPECT_EQ(MyXMLReader::attr(items[std::size_t{0}])["id"], Value("1"));
    EXPECT_EQ(MyXMLReader::text(items[std::size_t{0}]), Value("ab"));
    EXPECT_EQ(MyXMLReader::name(reader->at("/rss/@0/item/@1/title/@0")), Value("title"));
    EXPECT_EQ(reader->at("/rss/@0/item/@1/title/@0/__tmd__key_text__"), Value("T"));
    EXPECT_EQ(MyXMLReader::text(reader->at("/rss/@0")), Value("\n \n \n"));
    EXPECT_TRUE(MyXMLReader::text(reader->at("/rss/@0/item/@0/c/@0")).isNull());
    EXPECT_FALSE(hasParentEntries(reader->root()));
    EXPECT_TRUE(reader->cur().isNull());
}

TEST(XMLReaderTest, AFailedParseLeavesAPlainPartialTree) {
    auto broken = MyXMLReader::make(bytes("<a><b>kept</b><c>"));
    EXPECT_FALSE(broken->parse());
    EXPECT_EQ(MyXMLReader::text(broken->at("/a/@0/b/@0")), Value("kept"));
    EXPECT_FALSE(hasParentEntries(broken->root()));

    auto reserved = MyXMLReader::make(bytes("<a><__tmd__key_parent__/></a>"));
    EXPECT_FALSE(reserved->parse());
    EXPECT_FALSE(hasParentEntries(reserved->root()));
    EXPECT_TRUE(reserved->at("/a/@0/__tmd__key_parent__").isNull());

    EXPECT_TRUE(MyXMLReader::make(bytes(""))->at("/a").isNull());
}

// Text arrives in many pieces (expat hands over a line at a time): they are gathered, not copied
// into the node anew with each piece, so megabytes of short lines read in a moment. A document of
// more elements than the reader holds fails instead of filling memory.
TEST(XMLReaderTest, ManyTextPiecesAndManyElementsStayBounded) {
    std::string lines;
    for (int i = 0; i < 400000; ++i) lines += "line\n";
    auto text = MyXMLReader::make(bytes("<t>" + lines + "<b>x</b>" + lines + "</t>"));
    ASSERT_TRUE(text->parse());
    const std::string* read = MyXMLReader::text(text->at("/t/@0")).string();
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size(), 2 * lines.size());
    EXPECT_EQ(MyXMLReader::text(text->at("/t/@0/b/@0")), Value("x"));

    std::string many = "<m>";
    for (std::size_t i = 0; i < MyXMLReader::kMaximumNodes; ++i) many += "<e/>";
    auto bounded = MyXMLReader::make(bytes(many + "<e/></m>"));
    EXPECT_FALSE(bounded->parse());
    EXPECT_FALSE(hasParentEntries(bounded->root()));
    auto fits = MyXMLReader::make(bytes("<m>" + many.substr(7) + "</m>"));
    EXPECT_TRUE(fits->parse());
    EXPECT_EQ(fits->at("/m/@0/e").count(), MyXMLReader::kMaximumNodes - 1);
}

TEST(XMLReaderTest, StreamsAndHostileDocuments) {
    auto path = std::filesystem::temp_directory_path() / ("korva-reader-" + std::to_string(::getpid()));
    std::ofstream(path) << "<!DOCTYPE r [<!ENTITY e SYSTEM \"file://" << path.string() << "\">]><r>x&e;</r>";
    auto local = MyXMLReader::make(NSInputStream::inputStreamWithFileAtPath(path.string()));
    local->parse();
    std::filesystem::remove(path);
    EXPECT_EQ(MyXMLReader::text(local->at("/r/@0")).stringValue().find("ENTITY"), std::string::npos);

    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "<d>";
    auto nested = MyXMLReader::make(bytes(deep));
    EXPECT_FALSE(nested->parse());
    EXPECT_FALSE(hasParentEntries(nested->root()));
}

}  // namespace
