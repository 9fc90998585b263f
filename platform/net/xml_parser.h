// NSXMLParser: an event-driven XML parser over a URL, a stream or bytes, reporting to a delegate
// on the calling thread. External entities are never resolved, entity expansion stays within the
// parser's amplification limits, and elements nested deeper than kMaximumDepth or documents
// longer than kMaximumDocumentBytes are refused.
//
// One parse per parser; one thread at a time.
#pragma once

#include <memory>
#include <string>

#include "platform/net/input_stream.h"
#include "platform/net/url.h"
#include "platform/runtime/error.h"
#include "platform/runtime/value.h"

inline constexpr const char* NSXMLParserErrorDomain = "NSXMLParserErrorDomain";
enum NSXMLParserError : std::int64_t {
    NSXMLParserInternalError = 1,
    NSXMLParserDelegateAbortedParseError = 512,
};

class NSXMLParser;

// Every method is optional; the defaults do nothing.
class NSXMLParserDelegate {
public:
    virtual ~NSXMLParserDelegate() = default;
    virtual void parserDidStartDocument(NSXMLParser&) {}
    virtual void parserDidEndDocument(NSXMLParser&) {}
    // The namespace and qualified name are empty unless namespaces are processed; attributes are
    // a dictionary of name to value in document order.
    virtual void parserDidStartElement(NSXMLParser&, const std::string& /*elementName*/,
                                       const std::string& /*namespaceURI*/, const std::string& /*qualifiedName*/,
                                       const Value& /*attributes*/) {}
    virtual void parserDidEndElement(NSXMLParser&, const std::string& /*elementName*/,
                                     const std::string& /*namespaceURI*/, const std::string& /*qualifiedName*/) {}
    // A run of character data; one run may arrive in several calls.
    virtual void parserFoundCharacters(NSXMLParser&, const std::string&) {}
    // The parse stops after this; no document end follows.
    virtual void parserParseErrorOccurred(NSXMLParser&, const std::shared_ptr<NSError>&) {}
};

class NSXMLParser : public NSObject {
public:
    KORVA_MAKE(NSXMLParser)

    static constexpr int kMaximumDepth = 256;
    static constexpr std::int64_t kMaximumDocumentBytes = std::int64_t{32} << 20;

    std::shared_ptr<NSXMLParserDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::shared_ptr<NSXMLParserDelegate> delegate) { delegate_ = delegate; }
    void setShouldProcessNamespaces(bool process) { processNamespaces_ = process; }

    // True when the whole document was read without an error.
    bool parse();
    // From a delegate event: stops the parse, which then fails.
    void abortParsing();
    std::shared_ptr<NSError> parserError() const { return error_; }
    std::int64_t lineNumber() const { return line_; }

    std::string className() const override { return "NSXMLParser"; }

protected:
    // The document at the URL (read in one go), from the stream, or the bytes.
    explicit NSXMLParser(std::shared_ptr<NSURL> url) : url_(std::move(url)) {}
    explicit NSXMLParser(std::shared_ptr<NSInputStream> stream) : stream_(std::move(stream)) {}
    explicit NSXMLParser(Bytes data) : stream_(NSInputStream::inputStreamWithData(std::move(data))) {}

private:
    friend struct XMLParseRun;

    std::shared_ptr<NSURL> url_;
    std::shared_ptr<NSInputStream> stream_;
    std::weak_ptr<NSXMLParserDelegate> delegate_;
    bool processNamespaces_ = false;
    bool started_ = false;
    bool aborted_ = false;
    std::shared_ptr<NSError> error_;
    std::int64_t line_ = 0;
};
