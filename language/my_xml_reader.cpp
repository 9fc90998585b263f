// The XML reader: parser events building the node tree.
#include "language/my_xml_reader.h"

#include <vector>

#include "foundation/dictionary_custom.h"

namespace {

bool isReserved(std::string_view name) {
    return name == MyXMLReader::kName || name == MyXMLReader::kAttributes || name == MyXMLReader::kText ||
           name == MyXMLReader::kParent;
}

}  // namespace

bool MyXMLReader::parse() {
    xp_->setDelegate(self<MyXMLReader>());
    return xp_->parse();
}

Value MyXMLReader::at(std::string_view path) const {
    return root_.isNull() ? Value() : ::at(root_, path);
}

void MyXMLReader::arrange(const Value& node) {
    // Iterative, so that the walk's depth does not depend on the document's.
    std::vector<Value> pending{node};
    while (!pending.empty()) {
        Value current = std::move(pending.back());
        pending.pop_back();
        ValueDictionary* entries = current.dictionaryPtr();
        if (!entries) continue;
        entries->remove(kParent);
        for (const auto& [key, value] : *entries) {
            if (!value.isArray()) continue;
            for (const Value& child : *value.arrayPtr()) pending.push_back(child);
        }
    }
}

void MyXMLReader::parserDidStartDocument(NSXMLParser&) {
    root_ = Value::dictionary();
    cur_ = root_;
    texts_.assign(1, std::string());
    nodes_ = 0;
}

void MyXMLReader::settleText(const Value& node) {
    if (texts_.empty()) return;
    if (!texts_.back().empty() && node.isDictionary()) node.set(kText, Value(std::move(texts_.back())));
    texts_.pop_back();
}

void MyXMLReader::parserDidStartElement(NSXMLParser& parser, const std::string& elementName, const std::string&,
                                        const std::string&, const Value& attributes) {
    if (isReserved(elementName) || ++nodes_ > kMaximumNodes) {
        // A reserved name would overwrite the node's own entries.
        parser.abortParsing();
        return;
    }
    Value siblings = cur_[elementName];
    if (!siblings.isArray()) {
        siblings = Value::array();
        cur_.set(elementName, siblings);
    }
    Value node = Value::dictionary({{kName, Value(elementName)}, {kAttributes, attributes}, {kParent, cur_}});
    siblings.append(node);
    cur_ = node;
    texts_.emplace_back();
}

void MyXMLReader::parserFoundCharacters(NSXMLParser&, const std::string& text) {
    if (!cur_.isDictionary() || texts_.empty()) return;
    texts_.back() += text;
}

void MyXMLReader::parserDidEndElement(NSXMLParser&, const std::string&, const std::string&, const std::string&) {
    if (!cur_.isDictionary()) return;
    settleText(cur_);
    cur_ = cur_[kParent];
}

void MyXMLReader::parserDidEndDocument(NSXMLParser&) {
    finishTree();
}

void MyXMLReader::parserParseErrorOccurred(NSXMLParser&, const std::shared_ptr<NSError>&) {
    finishTree();
}

void MyXMLReader::finishTree() {
    // The nodes still open keep what text they had when the parse ended.
    while (cur_.isDictionary() && !texts_.empty()) {
        settleText(cur_);
        cur_ = cur_[kParent];
    }
    texts_.clear();
    cur_ = Value();
    if (!root_.isNull()) arrange(root_);
}
