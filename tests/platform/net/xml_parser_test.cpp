// The event-driven XML parser: events in document order from bytes, files and streams, errors,
// and documents that try to read local files, expand entities without end or nest too deep.
#include "platform/net/xml_parser.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

class Events : public NSXMLParserDelegate {
public:
    void parserDidStartDocument(NSXMLParser&) override { log += "[doc "; }
    void parserDidEndDocument(NSXMLParser&) override { log += "doc]"; }
    void parserDidStartElement(NSXMLParser& parser, const std::string& name, const std::string& ns,
                               const std::string& qname, const Value& attributes) override {
        log += "<" + name + (ns.empty() ? "" : "{" + ns + "}") + (qname.empty() || qname == name ? "" : "=" + qname);
        for (const auto& [key, value] : *attributes.dictionaryPtr()) log += " " + key + "=" + value.stringValue();
        log += ">";
        if (name == abortAt) parser.abortParsing();
    }
    void parserDidEndElement(NSXMLParser&, const std::string& name, const std::string&, const std::string&) override {
        log += "</" + name + ">";
    }
    void parserFoundCharacters(NSXMLParser&, const std::string& text) override { log += text; }
    void parserParseErrorOccurred(NSXMLParser&, const std::shared_ptr<NSError>& error) override {
        log += "!error";
        errors.push_back(error);
    }
    std::string log, abortAt;
    std::vector<std::shared_ptr<NSError>> errors;
};

Bytes bytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::pair<bool, std::shared_ptr<Events>> parse(std::shared_ptr<NSXMLParser> parser, std::string abortAt = "") {
    auto events = std::make_shared<Events>();
    events->abortAt = std::move(abortAt);
    parser->setDelegate(events);
    return {parser->parse(), events};
}

TEST(XMLParserTest, EventsArriveInDocumentOrderFromEverySource) {
    std::string doc = "<?xml version=\"1.0\"?>\n<rss v=\"2\" a=\"&amp;\"><item>a<b/>c</item></rss>";
    auto [ok, events] = parse(NSXMLParser::make(bytes(doc)));
    EXPECT_TRUE(ok);
    EXPECT_EQ(events->log, "[doc <rss v=2 a=&><item>a<b></b>c</item></rss>doc]");

    auto path = std::filesystem::temp_directory_path() / ("korva-xml-" + std::to_string(::getpid()) + ".xml");
    std::ofstream(path) << doc;
    auto [fromFile, fileEvents] = parse(NSXMLParser::make(NSInputStream::inputStreamWithFileAtPath(path.string())));
    auto [fromURL, urlEvents] = parse(NSXMLParser::make(NSURL::fileURLWithPath(path.string())));
    std::filesystem::remove(path);
    EXPECT_TRUE(fromFile);
    EXPECT_TRUE(fromURL);
    EXPECT_EQ(fileEvents->log, events->log);
    EXPECT_EQ(urlEvents->log, events->log);
}

TEST(XMLParserTest, NamespacesAreSplitOnlyWhenAskedFor) {
    std::string doc = "<a:x xmlns:a=\"urn:a\"><a:y/></a:x>";
    auto [plain, plainEvents] = parse(NSXMLParser::make(bytes(doc)));
    EXPECT_EQ(plainEvents->log, "[doc <a:x xmlns:a=urn:a><a:y></a:y></a:x>doc]");
    auto parser = NSXMLParser::make(bytes(doc));
    parser->setShouldProcessNamespaces(true);
    auto [processed, events] = parse(parser);
    EXPECT_EQ(events->log, "[doc <x{urn:a}><y{urn:a}></y></x>doc]");
}

TEST(XMLParserTest, BadDocumentsFailWithAnErrorAndNoDocumentEnd) {
    for (const std::string& doc :
         {std::string("<a><b></a>"), std::string(""), std::string("<a>"), std::string("\xff\xfe<")}) {
        auto [ok, events] = parse(NSXMLParser::make(bytes(doc)));
        EXPECT_FALSE(ok) << doc;
        ASSERT_EQ(events->errors.size(), 1u);
        EXPECT_EQ(events->errors[0]->domain(), NSXMLParserErrorDomain);
        EXPECT_EQ(events->log.find("doc]"), std::string::npos);
    }
    auto [missing, missingEvents] =
        parse(NSXMLParser::make(NSInputStream::inputStreamWithFileAtPath("/no/such/file.xml")));
    EXPECT_FALSE(missing);
    EXPECT_EQ(missingEvents->errors.size(), 1u);

    auto [aborted, abortedEvents] = parse(NSXMLParser::make(bytes("<a><stop/><after/></a>")), "stop");
    EXPECT_FALSE(aborted);
    EXPECT_EQ(abortedEvents->errors.at(0)->code(), NSXMLParserDelegateAbortedParseError);
    EXPECT_EQ(abortedEvents->log.find("after"), std::string::npos);
}

TEST(XMLParserTest, HostileDocumentsReadNoFilesAndStopInsideTheLimits) {
    auto secret = std::filesystem::temp_directory_path() / ("korva-secret-" + std::to_string(::getpid()));
    std::ofstream(secret) << "SECRET";
    std::string external =
        "<?xml version=\"1.0\"?><!DOCTYPE r [<!ENTITY e SYSTEM \"file://" + secret.string() + "\">]><r>&e;</r>";
    auto [externalOK, externalEvents] = parse(NSXMLParser::make(bytes(external)));
    std::filesystem::remove(secret);
    EXPECT_EQ(externalEvents->log.find("SECRET"), std::string::npos);

    std::string laughs = "<?xml version=\"1.0\"?><!DOCTYPE l [<!ENTITY l0 \"lol\">";
    for (int i = 1; i <= 12; ++i) {
        laughs += "<!ENTITY l" + std::to_string(i) + " \"";
        for (int j = 0; j < 10; ++j) laughs += "&l" + std::to_string(i - 1) + ";";
        laughs += "\">";
    }
    laughs += "]><l>&l12;</l>";
    auto [laughsOK, laughsEvents] = parse(NSXMLParser::make(bytes(laughs)));
    EXPECT_FALSE(laughsOK);
    EXPECT_LT(laughsEvents->log.size(), 10u * 1024 * 1024);

    std::string deep;
    for (int i = 0; i < 100000; ++i) deep += "<d>";
    auto [deepOK, deepEvents] = parse(NSXMLParser::make(bytes(deep)));
    EXPECT_FALSE(deepOK);
    ASSERT_EQ(deepEvents->errors.size(), 1u);
    std::string allowed;
    for (int i = 0; i < NSXMLParser::kMaximumDepth; ++i) allowed += "<d>";
    for (int i = 0; i < NSXMLParser::kMaximumDepth; ++i) allowed += "</d>";
    EXPECT_TRUE(NSXMLParser::make(bytes(allowed))->parse());
}

// The element refused at the depth limit never started for the delegate, so it never ends
// either, whatever shape it has; nothing after the refusal arrives.
TEST(XMLParserTest, TheElementRefusedAtTheDepthLimitGetsNoEvents) {
    std::string open;
    for (int i = 0; i < NSXMLParser::kMaximumDepth; ++i) open += "<d>";
    for (const std::string refused : {"<x/>", "<x></x>", "<x>text</x>"}) {
        SCOPED_TRACE(refused);
        auto [ok, events] = parse(NSXMLParser::make(bytes(open + refused + "tail</d>")));
        EXPECT_FALSE(ok);
        EXPECT_EQ(events->errors.size(), 1u);
        EXPECT_EQ(events->log.find("x>"), std::string::npos) << events->log.substr(events->log.size() - 40);
        EXPECT_EQ(events->log.find("tail"), std::string::npos);
        EXPECT_EQ(events->log.find("</d>"), std::string::npos);
    }
}

// Long tokens are read in growing pieces, and a document past the bound fails with a clear error.
TEST(XMLParserTest, LongTokensReadAndOverlongDocumentsAreRefused) {
    const std::string value(std::size_t{12} << 20, 'v');
    auto [longOK, longEvents] = parse(NSXMLParser::make(bytes("<a k=\"" + value + "\"/>")));
    EXPECT_TRUE(longOK);
    EXPECT_TRUE(longEvents->errors.empty());

    std::string overlong = "<a>" + std::string(NSXMLParser::kMaximumDocumentBytes, ' ') + "</a>";
    auto parser = NSXMLParser::make(bytes(overlong));
    auto [overlongOK, overlongEvents] = parse(parser);
    EXPECT_FALSE(overlongOK);
    ASSERT_EQ(overlongEvents->errors.size(), 1u);
    ASSERT_TRUE(parser->parserError());
    EXPECT_NE(parser->parserError()->localizedDescription().find("longer than"), std::string::npos);
}

TEST(XMLParserTest, AParserParsesOnce) {
    auto parser = NSXMLParser::make(bytes("<a/>"));
    EXPECT_TRUE(parser->parse());
    EXPECT_FALSE(parser->parse());
}

}  // namespace
