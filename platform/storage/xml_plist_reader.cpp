// XML property-list reader on expat: builds the Value tree on a stack, without recursion.
#include <expat.h>

#include <charconv>
#include <optional>

#include "platform/storage/base64.h"
#include "platform/storage/plist_codec.h"
#include "platform/storage/plist_date.h"

namespace storage_detail {
namespace {

std::string_view trimmed(std::string_view text) {
    const char* space = " \t\r\n";
    std::size_t first = text.find_first_not_of(space);
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(space) - first + 1);
}

std::optional<Value> parseInteger(std::string_view text) {
    text = trimmed(text);
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    std::uint64_t magnitude = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), magnitude);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    if (negative) {
        if (magnitude > static_cast<std::uint64_t>(INT64_MAX) + 1) return std::nullopt;
        return Value(static_cast<long long>(0 - magnitude));
    }
    if (magnitude <= static_cast<std::uint64_t>(INT64_MAX)) return Value(static_cast<long long>(magnitude));
    return Value(static_cast<unsigned long long>(magnitude));
}

std::optional<Value> parseReal(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text[0] == '+') text.remove_prefix(1);
    double value = 0;
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return Value(value);
}

class XmlReader {
public:
    XmlReader() : parser_(XML_ParserCreate(nullptr)) {
        XML_SetUserData(parser_, this);
        XML_SetElementHandler(parser_, &XmlReader::onStart, &XmlReader::onEnd);
        XML_SetCharacterDataHandler(parser_, &XmlReader::onText);
    }
    ~XmlReader() { XML_ParserFree(parser_); }
    XmlReader(const XmlReader&) = delete;
    XmlReader& operator=(const XmlReader&) = delete;

    Result<Value> read(const Bytes& data) {
        if (data.size() > static_cast<std::size_t>(INT32_MAX)) return fail("property list too large");
        auto status =
            XML_Parse(parser_, reinterpret_cast<const char*>(data.data()), static_cast<int>(data.size()), XML_TRUE);
        if (!error_.empty()) return fail("invalid XML property list: " + error_);
        if (status != XML_STATUS_OK) {
            return fail(std::string("invalid XML property list: ") + XML_ErrorString(XML_GetErrorCode(parser_)) +
                        " at line " + std::to_string(XML_GetCurrentLineNumber(parser_)));
        }
        if (!root_) return fail("XML property list holds no value");
        return std::move(*root_);
    }

private:
    enum class Scalar { None, Key, String, Integer, Real, Date, Data, True, False };
    struct Frame {
        Value container;
        std::optional<std::string> key;
    };

    void stop(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        XML_StopParser(parser_, XML_FALSE);
    }

    static void onStart(void* self, const XML_Char* name, const XML_Char**) {
        static_cast<XmlReader*>(self)->start(name);
    }
    static void onEnd(void* self, const XML_Char* name) { static_cast<XmlReader*>(self)->end(name); }
    static void onText(void* self, const XML_Char* text, int length) {
        auto* reader = static_cast<XmlReader*>(self);
        if (reader->scalar_ != Scalar::None) reader->text_.append(text, static_cast<std::size_t>(length));
    }

    void start(std::string_view name) {
        if (!error_.empty()) return;
        if (scalar_ != Scalar::None) return stop("element inside <" + std::string(elementName_) + ">");
        if (name == "plist") {
            if (sawPlist_ || !stack_.empty() || root_) return stop("misplaced <plist>");
            sawPlist_ = true;
            return;
        }
        if (name == "dict" || name == "array") {
            if (stack_.size() >= static_cast<std::size_t>(kMaxPlistDepth)) return stop("nested too deeply");
            if (!expectValue()) return;
            stack_.push_back(Frame{name == "dict" ? Value(ValueDictionary{}) : Value(ValueArray{}), std::nullopt});
            return;
        }
        static const std::pair<std::string_view, Scalar> scalars[] = {
            {"key", Scalar::Key},   {"string", Scalar::String}, {"integer", Scalar::Integer}, {"real", Scalar::Real},
            {"date", Scalar::Date}, {"data", Scalar::Data},     {"true", Scalar::True},       {"false", Scalar::False}};
        for (const auto& [elementName, kind] : scalars) {
            if (name != elementName) continue;
            if (kind == Scalar::Key) {
                if (stack_.empty() || !stack_.back().container.isDictionary() || stack_.back().key) {
                    return stop("misplaced <key>");
                }
            } else if (!expectValue()) {
                return;
            }
            scalar_ = kind;
            elementName_ = elementName;
            text_.clear();
            return;
        }
        stop("unknown element <" + std::string(name) + ">");
    }

    // A value may start here: at the top once, in an array, or after a key in a dictionary.
    bool expectValue() {
        if (stack_.empty()) {
            if (root_) stop("more than one value at the top");
        } else if (stack_.back().container.isDictionary() && !stack_.back().key) {
            stop("dictionary value without a key");
        }
        return error_.empty();
    }

    void end(std::string_view name) {
        if (!error_.empty() || name == "plist") return;
        if (name == "dict" || name == "array") {
            Frame frame = std::move(stack_.back());
            stack_.pop_back();
            if (frame.key) return stop("dictionary key without a value");
            return deliver(std::move(frame.container));
        }
        Scalar kind = scalar_;
        scalar_ = Scalar::None;
        std::optional<Value> value;
        switch (kind) {
            case Scalar::Key: stack_.back().key = text_; return;
            case Scalar::String: value = Value(text_); break;
            case Scalar::Integer: value = parseInteger(text_); break;
            case Scalar::Real: value = parseReal(text_); break;
            case Scalar::Date:
                if (auto seconds = parsePlistDate(std::string(trimmed(text_)))) value = Value::date(*seconds);
                break;
            case Scalar::Data:
                if (auto bytes = base64Decode(text_)) value = Value::data(std::move(*bytes));
                break;
            case Scalar::True: value = Value(true); break;
            case Scalar::False: value = Value(false); break;
            case Scalar::None: break;
        }
        if (!value) return stop("malformed <" + std::string(name) + ">");
        deliver(std::move(*value));
    }

    void deliver(Value value) {
        if (stack_.empty()) {
            root_ = std::move(value);
            return;
        }
        Frame& frame = stack_.back();
        if (frame.container.isArray()) {
            frame.container.append(std::move(value));
        } else {
            frame.container.set(std::move(*frame.key), std::move(value));
            frame.key.reset();
        }
    }

    XML_Parser parser_;
    std::vector<Frame> stack_;
    std::optional<Value> root_;
    Scalar scalar_ = Scalar::None;
    std::string_view elementName_;
    std::string text_;
    bool sawPlist_ = false;
    std::string error_;
};

}  // namespace

Result<Value> decodeXmlPlist(const Bytes& data) {
    return XmlReader().read(data);
}

}  // namespace storage_detail
