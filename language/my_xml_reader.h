// MyXMLReader: an XML document parsed into nested dictionaries and arrays that the path lookup
// at() walks like JSON. Each node holds its name, attributes and text under reserved keys, and
// its children in one array per child name, in document order ("/rss/@0/item/@0").
//
// While parsing, every node also points at its parent; those entries are removed however the
// parse ends, so the tree never holds cycles. An element named like a reserved key, or a
// document of more than kMaximumNodes elements, fails the parse. One reader parses one source
// once; main thread or any one thread.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/net/xml_parser.h"

class MyXMLReader : public NSObject, public NSXMLParserDelegate {
public:
    KORVA_MAKE(MyXMLReader)

    static constexpr const char* kName = "__tmd__key_name__";
    static constexpr const char* kAttributes = "__tmd__key_attr__";
    static constexpr const char* kText = "__tmd__key_text__";
    static constexpr const char* kParent = "__tmd__key_parent__";
    static constexpr std::size_t kMaximumNodes = 250000;

    // True when the document was read without an error; the tree then holds all of it, else what
    // came before the error.
    bool parse();
    Value at(std::string_view path) const;
    static Value name(const Value& node) { return node[kName]; }
    static Value attr(const Value& node) { return node[kAttributes]; }
    // All character data directly inside the node, in order; null when there was none.
    static Value text(const Value& node) { return node[kText]; }
    // Removes the parent entries of the node and of every node below it.
    static void arrange(const Value& node);

    const std::shared_ptr<NSXMLParser>& xp() const { return xp_; }
    const Value& root() const { return root_; }
    const Value& cur() const { return cur_; }

    void parserDidStartDocument(NSXMLParser&) override;
    void parserDidStartElement(NSXMLParser& parser, const std::string& elementName, const std::string&,
                               const std::string&, const Value& attributes) override;
    void parserFoundCharacters(NSXMLParser&, const std::string& text) override;
    void parserDidEndElement(NSXMLParser&, const std::string&, const std::string&, const std::string&) override;
    void parserDidEndDocument(NSXMLParser&) override;
    void parserParseErrorOccurred(NSXMLParser&, const std::shared_ptr<NSError>&) override;

    std::string className() const override { return "MyXMLReader"; }

protected:
    // The document at a URL, from a stream, or in bytes.
    explicit MyXMLReader(std::shared_ptr<NSURL> url) : xp_(NSXMLParser::make(std::move(url))) {}
    explicit MyXMLReader(std::shared_ptr<NSInputStream> stream) : xp_(NSXMLParser::make(std::move(stream))) {}
    explicit MyXMLReader(Bytes data) : xp_(NSXMLParser::make(std::move(data))) {}

private:
    void finishTree();
    // Sets the node's text from what was gathered for it, and starts gathering anew.
    void settleText(const Value& node);

    std::shared_ptr<NSXMLParser> xp_;
    Value root_;
    Value cur_;
    // The text gathered for each open node, outermost first; a node's text is set once, as it
    // closes (or as the parse ends), so that pieces are appended rather than copied each time.
    std::vector<std::string> texts_;
    std::size_t nodes_ = 0;
};
