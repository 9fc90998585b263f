// XML documents: the event parser with and without namespaces, then the reader's tree and its
// path lookups.
#include "fuzz/fuzz_input.h"
#include "language/my_xml_reader.h"
#include "platform/net/xml_parser.h"
#include "platform/runtime/log.h"

namespace {

// Checks that the events nest: every end closes the element last started.
class NestingDelegate : public NSXMLParserDelegate {
public:
    void parserDidStartElement(NSXMLParser&, const std::string& name, const std::string&, const std::string&,
                               const Value& attributes) override {
        if (!attributes.isDictionary()) __builtin_trap();
        open.push_back(name);
    }
    void parserDidEndElement(NSXMLParser&, const std::string& name, const std::string&, const std::string&) override {
        if (open.empty() || open.back() != name) __builtin_trap();
        open.pop_back();
    }
    void parserFoundCharacters(NSXMLParser&, const std::string& text) override { characters += text.size(); }
    void parserDidEndDocument(NSXMLParser&) override {
        if (!open.empty()) __builtin_trap();
    }

    std::vector<std::string> open;
    std::size_t characters = 0;
};

// A few lookups along the first child of each kind, as callers walk feeds.
void walk(const Value& node, int depth) {
    if (!node.isDictionary() || depth > 8) return;
    (void)MyXMLReader::name(node);
    (void)MyXMLReader::attr(node);
    (void)MyXMLReader::text(node).stringValue();
    if (node.dictionaryPtr()->contains(MyXMLReader::kParent)) __builtin_trap();  // the tree keeps no cycles
    for (const auto& [key, children] : *node.dictionaryPtr())
        if (children.isArray() && children.count() > 0) walk(children[std::size_t{0}], depth + 1);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    Log::setQuiet(true);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    for (bool namespaces : {false, true}) {
        auto parser = NSXMLParser::make(fuzzBytes(data, size));
        auto delegate = std::make_shared<NestingDelegate>();
        parser->setDelegate(delegate);
        parser->setShouldProcessNamespaces(namespaces);
        const bool parsed = parser->parse();
        if (parsed == static_cast<bool>(parser->parserError())) __builtin_trap();
    }
    auto reader = MyXMLReader::make(fuzzBytes(data, size));
    reader->parse();
    walk(reader->root(), 0);
    (void)reader->at("/rss/@0/channel/@0/item");
    return 0;
}
