// XML property-list writer: produces what the platform's own reader expects.
#include <charconv>
#include <cmath>

#include "platform/storage/base64.h"
#include "platform/storage/plist_codec.h"
#include "platform/storage/plist_date.h"
#include "platform/storage/unicode.h"

namespace storage_detail {
namespace {

bool appendEscaped(std::string& out, const std::string& text) {
    if (!isValidUtf8(text)) return false;
    // U+FFFE and U+FFFF are no XML characters either: a reader refuses the whole file.
    if (text.find("\xEF\xBF\xBE") != std::string::npos || text.find("\xEF\xBF\xBF") != std::string::npos) return false;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '\r': out += "&#13;"; break;  // a raw CR would come back as LF
            default:
                // XML 1.0 cannot hold other control characters, even as references.
                if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') return false;
                out += c;
        }
    }
    return true;
}

template <class T>
std::string formatReal(T value) {
    if (std::isnan(value)) return "nan";
    if (std::isinf(value)) return value > 0 ? "+infinity" : "-infinity";
    char text[64];
    auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

class XmlWriter {
public:
    Result<Bytes> write(const Value& root) {
        out_ = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n";
        if (!value(root, 0)) return fail(error_);
        out_ += "</plist>\n";
        return Bytes(out_.begin(), out_.end());
    }

private:
    bool refuse(const char* message) {
        error_ = message;
        return false;
    }

    void indent(int depth) { out_.append(static_cast<std::size_t>(depth), '\t'); }

    bool element(const char* name, const std::string& text, int depth) {
        indent(depth);
        out_ += '<';
        out_ += name;
        out_ += '>';
        out_ += text;
        out_ += "</";
        out_ += name;
        out_ += ">\n";
        return true;
    }

    bool value(const Value& v, int depth) {
        if (depth >= kMaxPlistDepth && (v.isArray() || v.isDictionary())) return refuse("containers nested too deeply");
        switch (v.kind()) {
            case Value::Kind::Bool:
                indent(depth);
                out_ += v.boolValue() ? "<true/>\n" : "<false/>\n";
                return true;
            case Value::Kind::Int: return element("integer", std::to_string(v.integerValue()), depth);
            case Value::Kind::UInt: return element("integer", std::to_string(v.unsignedIntegerValue()), depth);
            case Value::Kind::Float: return element("real", formatReal(v.floatValue()), depth);
            case Value::Kind::Double: return element("real", formatReal(v.doubleValue()), depth);
            case Value::Kind::Date: {
                auto text = formatPlistDate(v.dateValue());
                if (!text) return refuse("date out of range");
                return element("date", *text, depth);
            }
            case Value::Kind::Data: return element("data", base64Encode(*v.bytes()), depth);
            case Value::Kind::String: {
                std::string text;
                if (!appendEscaped(text, *v.string())) return refuse("a string holds characters XML cannot carry");
                return element("string", text, depth);
            }
            case Value::Kind::Array: {
                if (!open(v)) return false;
                const ValueArray& items = *v.arrayPtr();
                bool ok = container("array", depth, items.empty(), [&] {
                    for (const Value& item : items) {
                        if (!value(item, depth + 1)) return false;
                    }
                    return true;
                });
                return close(v, ok);
            }
            case Value::Kind::Dictionary: {
                if (!open(v)) return false;
                const ValueDictionary& entries = *v.dictionaryPtr();
                bool ok = container("dict", depth, entries.empty(), [&] {
                    for (const auto& [key, item] : entries) {
                        std::string text;
                        if (!appendEscaped(text, key)) return refuse("a key holds characters XML cannot carry");
                        element("key", text, depth + 1);
                        if (!value(item, depth + 1)) return false;
                    }
                    return true;
                });
                return close(v, ok);
            }
            case Value::Kind::Set: return refuse("a set has no property-list form");
            case Value::Kind::Null: return refuse("null has no property-list form");
            case Value::Kind::Object: return refuse("an object has no property-list form");
        }
        return false;
    }

    template <class Body>
    bool container(const char* name, int depth, bool empty, Body body) {
        indent(depth);
        if (empty) {
            out_ += std::string("<") + name + "/>\n";
            return true;
        }
        out_ += std::string("<") + name + ">\n";
        if (!body()) return false;
        indent(depth);
        out_ += std::string("</") + name + ">\n";
        return true;
    }

    bool open(const Value& v) {
        for (const void* p : open_) {
            if (p == v.identity()) return refuse("a container contains itself");
        }
        open_.push_back(v.identity());
        return true;
    }

    bool close(const Value&, bool ok) {
        open_.pop_back();
        return ok;
    }

    std::string out_;
    std::string error_;
    std::vector<const void*> open_;
};

}  // namespace

Result<Bytes> encodeXmlPlist(const Value& root) {
    return XmlWriter().write(root);
}

}  // namespace storage_detail
