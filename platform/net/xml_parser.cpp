// The XML parser on expat: events handed to the delegate as expat reports them.
#include "platform/net/xml_parser.h"

#include <expat.h>

#include <algorithm>
#include <vector>

#include "platform/net/url_contents.h"

namespace {

constexpr char kNamespaceSeparator = '\x01';
constexpr std::int64_t kFirstPiece = 64 * 1024;
constexpr std::int64_t kLargestPiece = 8 << 20;

struct Names {
    std::string element, namespaceURI, qualified;
};

}  // namespace

// One parse: the expat handle, the delegate and the depth.
struct XMLParseRun {
    NSXMLParser& parser;
    std::shared_ptr<NSXMLParserDelegate> delegate;
    XML_Parser expat;
    int depth = 0;
    std::shared_ptr<NSError> failure;

    Names names(const XML_Char* raw) const {
        std::string name(raw);
        if (!parser.processNamespaces_) return {name, "", ""};
        std::size_t cut = name.find(kNamespaceSeparator);
        if (cut == std::string::npos) return {name, "", name};
        std::string local = name.substr(cut + 1);
        return {local, name.substr(0, cut), local};
    }

    void stop(std::shared_ptr<NSError> error) {
        if (!failure) failure = std::move(error);
        XML_StopParser(expat, XML_FALSE);
    }

    // Expat may still report what it had in hand when the parse was stopped (the end of an
    // empty element whose start was refused, say): once stopped, nothing more reaches the delegate.
    static void onStart(void* user, const XML_Char* name, const XML_Char** attributes) {
        auto* run = static_cast<XMLParseRun*>(user);
        if (run->failure) return;
        if (++run->depth > NSXMLParser::kMaximumDepth) {
            run->stop(NSError::withDescription(
                NSXMLParserErrorDomain, NSXMLParserInternalError,
                "Elements are nested deeper than " + std::to_string(NSXMLParser::kMaximumDepth) + " levels."));
            return;
        }
        Value dictionary = Value::dictionary();
        for (const XML_Char** a = attributes; a && a[0]; a += 2)
            dictionary.set(run->names(a[0]).element, Value(std::string(a[1])));
        Names n = run->names(name);
        if (run->delegate)
            run->delegate->parserDidStartElement(run->parser, n.element, n.namespaceURI, n.qualified, dictionary);
        run->checkAbort();
    }
    static void onEnd(void* user, const XML_Char* name) {
        auto* run = static_cast<XMLParseRun*>(user);
        if (run->failure) return;
        --run->depth;
        Names n = run->names(name);
        if (run->delegate) run->delegate->parserDidEndElement(run->parser, n.element, n.namespaceURI, n.qualified);
        run->checkAbort();
    }
    static void onCharacters(void* user, const XML_Char* text, int length) {
        auto* run = static_cast<XMLParseRun*>(user);
        if (run->failure) return;
        if (run->delegate)
            run->delegate->parserFoundCharacters(run->parser, std::string(text, static_cast<std::size_t>(length)));
        run->checkAbort();
    }

    void checkAbort() {
        if (parser.aborted_ && !failure) {
            stop(NSError::withDescription(NSXMLParserErrorDomain, NSXMLParserDelegateAbortedParseError,
                                          "The delegate stopped the parse."));
        }
    }

    // Feeds one piece; false once the parse has failed.
    bool feed(const char* data, std::size_t size, bool last) {
        if (XML_Parse(expat, data, static_cast<int>(size), last ? XML_TRUE : XML_FALSE) != XML_STATUS_ERROR)
            return true;
        if (!failure) {
            XML_Error code = XML_GetErrorCode(expat);
            failure = NSError::withDescription(
                NSXMLParserErrorDomain, static_cast<std::int64_t>(code),
                std::string(XML_ErrorString(code)) + " at line " + std::to_string(XML_GetCurrentLineNumber(expat)));
        }
        return false;
    }
};

void NSXMLParser::abortParsing() {
    aborted_ = true;
}

bool NSXMLParser::parse() {
    if (started_) return false;
    started_ = true;
    auto delegate = delegate_.lock();

    std::shared_ptr<NSInputStream> stream = stream_;
    if (url_) {
        Result<Bytes> data = dataWithContentsOfURL(url_);
        if (data) stream = NSInputStream::inputStreamWithData(std::move(data).value());
    }
    if (!stream) {
        error_ = NSError::withDescription(NSXMLParserErrorDomain, NSXMLParserInternalError,
                                          "The document could not be read.");
        if (delegate) delegate->parserParseErrorOccurred(*this, error_);
        return false;
    }

    XML_Parser expat =
        processNamespaces_ ? XML_ParserCreateNS(nullptr, kNamespaceSeparator) : XML_ParserCreate(nullptr);
    if (!expat) return false;
    // Parameter entities and the external subset are never read; no handler resolves external
    // general entities either, so a reference to one is skipped.
    XML_SetParamEntityParsing(expat, XML_PARAM_ENTITY_PARSING_NEVER);
    XMLParseRun run{*this, delegate, expat, 0, nullptr};
    XML_SetUserData(expat, &run);
    XML_SetElementHandler(expat, XMLParseRun::onStart, XMLParseRun::onEnd);
    XML_SetCharacterDataHandler(expat, XMLParseRun::onCharacters);

    if (delegate) delegate->parserDidStartDocument(*this);
    stream->open();
    // The pieces grow with what has been read: expat scans an unfinished token again with every
    // piece, so a long token costs in proportion to its length, not to its length squared.
    std::vector<std::uint8_t> buffer;
    std::int64_t total = 0;
    bool ok = true;
    while (ok) {
        buffer.resize(static_cast<std::size_t>(std::clamp<std::int64_t>(total, kFirstPiece, kLargestPiece)));
        std::int64_t n = stream->read(buffer.data(), buffer.size());
        if (n < 0) {
            run.failure = stream->streamError()
                              ? stream->streamError()
                              : NSError::withDescription(NSXMLParserErrorDomain, NSXMLParserInternalError,
                                                         "The stream could not be read.");
            ok = false;
            break;
        }
        total += n;
        if (total > kMaximumDocumentBytes) {
            run.failure = NSError::withDescription(
                NSXMLParserErrorDomain, NSXMLParserInternalError,
                "The document is longer than " + std::to_string(kMaximumDocumentBytes) + " bytes.");
            ok = false;
            break;
        }
        ok =
            run.feed(reinterpret_cast<const char*>(buffer.data()), static_cast<std::size_t>(n), n == 0) && !run.failure;
        if (n == 0) break;
    }
    stream->close();
    line_ = static_cast<std::int64_t>(XML_GetCurrentLineNumber(expat));
    XML_ParserFree(expat);

    if (!ok || run.failure) {
        error_ = run.failure;
        if (delegate) delegate->parserParseErrorOccurred(*this, error_);
        return false;
    }
    if (delegate) delegate->parserDidEndDocument(*this);
    return true;
}
