// JSON: reading through nlohmann's event parser (no recursion, depth limited), writing by hand
// so that number kinds and escapes come out exactly as intended.
#include "platform/storage/json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>

#include "platform/storage/unicode.h"

namespace {

using json = nlohmann::json;

// Builds the Value as the parser reports events; a stack replaces recursion.
class Builder {
public:
    bool null() { return deliver(Value()); }
    bool boolean(bool v) { return deliver(Value(v)); }
    bool number_integer(json::number_integer_t v) { return deliver(Value(static_cast<long long>(v))); }
    bool number_unsigned(json::number_unsigned_t v) {
        if (v <= static_cast<std::uint64_t>(INT64_MAX)) return deliver(Value(static_cast<long long>(v)));
        return deliver(Value(static_cast<unsigned long long>(v)));
    }
    bool number_float(json::number_float_t v, const json::string_t&) { return deliver(Value(static_cast<double>(v))); }
    bool string(json::string_t& v) { return deliver(Value(std::move(v))); }
    bool binary(json::binary_t&) { return refuse("binary values are not JSON"); }
    bool start_object(std::size_t) { return open(Value(ValueDictionary{})); }
    bool key(json::string_t& k) {
        key_ = std::move(k);
        return true;
    }
    bool end_object() { return close(); }
    bool start_array(std::size_t) { return open(Value(ValueArray{})); }
    bool end_array() { return close(); }
    bool parse_error(std::size_t position, const std::string&, const nlohmann::detail::exception& error) {
        // nlohmann's messages start with "[json.exception.parse_error.101] "; keep the readable part.
        std::string what = error.what();
        if (auto bracket = what.find("] "); bracket != std::string::npos) what.erase(0, bracket + 2);
        return refuse("invalid JSON at byte " + std::to_string(position) + ": " + what);
    }

    Result<Value> result(bool parsed) {
        if (!parsed || !error_.empty()) return fail(error_.empty() ? "invalid JSON" : error_);
        return std::move(root_);
    }

private:
    struct Frame {
        Value container;
        std::string key;  // the key this container goes under in its parent
    };

    bool refuse(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        return false;
    }

    bool deliver(Value value) {
        if (stack_.empty()) {
            root_ = std::move(value);
        } else if (stack_.back().container.isArray()) {
            stack_.back().container.append(std::move(value));
        } else {
            // A dictionary holds no null, so a key whose value is null is left out; looking it
            // up gives null just the same.
            stack_.back().container.set(std::move(key_), std::move(value));
        }
        return true;
    }

    bool open(Value container) {
        if (stack_.size() >= static_cast<std::size_t>(NSJSONSerialization::maxDepth)) {
            return refuse("JSON nested deeper than " + std::to_string(NSJSONSerialization::maxDepth) + " levels");
        }
        stack_.push_back(Frame{std::move(container), std::move(key_)});
        return true;
    }

    bool close() {
        Frame frame = std::move(stack_.back());
        stack_.pop_back();
        key_ = std::move(frame.key);
        return deliver(std::move(frame.container));
    }

    std::vector<Frame> stack_;
    std::string key_;
    Value root_;
    std::string error_;
};

class Writer {
public:
    explicit Writer(unsigned options)
        : pretty_(options & NSJSONWritingPrettyPrinted), sorted_(options & NSJSONWritingSortedKeys) {}

    Result<std::string> write(const Value& value) {
        if (!write(value, 0)) return fail(error_);
        return std::move(out_);
    }

private:
    bool refuse(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        return false;
    }

    void newline(int depth) {
        if (!pretty_) return;
        out_ += '\n';
        out_.append(static_cast<std::size_t>(depth) * 2, ' ');
    }

    bool string(const std::string& text) {
        if (!storage_detail::isValidUtf8(text)) return refuse("a string is not valid UTF-8");
        out_ += '"';
        for (char c : text) {
            switch (c) {
                case '"': out_ += "\\\""; break;
                case '\\': out_ += "\\\\"; break;
                case '\n': out_ += "\\n"; break;
                case '\r': out_ += "\\r"; break;
                case '\t': out_ += "\\t"; break;
                case '\b': out_ += "\\b"; break;
                case '\f': out_ += "\\f"; break;
                default:
                    if (static_cast<unsigned char>(c) < 0x20) {
                        char escape[8];
                        std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
                        out_ += escape;
                    } else {
                        out_ += c;
                    }
            }
        }
        out_ += '"';
        return true;
    }

    template <class T>
    bool real(T value) {
        if (!std::isfinite(value)) return refuse("NaN and infinity have no JSON form");
        char text[64];
        char* end = std::to_chars(text, text + sizeof text, value).ptr;
        std::string_view written(text, static_cast<std::size_t>(end - text));
        out_ += written;
        // Keep a whole-number real a real when read back.
        if (written.find_first_of(".eE") == std::string_view::npos) out_ += ".0";
        return true;
    }

    bool write(const Value& value, int depth) {
        switch (value.kind()) {
            case Value::Kind::Null: out_ += "null"; return true;
            case Value::Kind::Bool: out_ += value.boolValue() ? "true" : "false"; return true;
            case Value::Kind::Int: out_ += std::to_string(value.integerValue()); return true;
            case Value::Kind::UInt: out_ += std::to_string(value.unsignedIntegerValue()); return true;
            case Value::Kind::Float: return real(value.floatValue());
            case Value::Kind::Double: return real(value.doubleValue());
            case Value::Kind::String: return string(*value.string());
            case Value::Kind::Array:
            case Value::Kind::Dictionary: return container(value, depth);
            case Value::Kind::Data: return refuse("data has no JSON form");
            case Value::Kind::Date: return refuse("a date has no JSON form");
            case Value::Kind::Set: return refuse("a set has no JSON form");
            case Value::Kind::Object: return refuse("an object has no JSON form");
        }
        return false;
    }

    bool container(const Value& value, int depth) {
        if (depth >= NSJSONSerialization::maxDepth) return refuse("nested too deeply for JSON");
        if (std::find(open_.begin(), open_.end(), value.identity()) != open_.end()) {
            return refuse("a container contains itself");
        }
        open_.push_back(value.identity());
        bool ok = true;
        bool first = true;
        auto separator = [&] {
            if (!first) out_ += ',';
            first = false;
            newline(depth + 1);
        };
        if (const ValueArray* items = value.arrayPtr()) {
            out_ += '[';
            for (const Value& item : *items) {
                separator();
                if (!(ok = write(item, depth + 1))) break;
            }
            if (ok && !items->empty()) newline(depth);
            out_ += ']';
        } else {
            const ValueDictionary& entries = *value.dictionaryPtr();
            std::vector<const ValueDictionary::Entry*> order;
            for (const auto& entry : entries) order.push_back(&entry);
            if (sorted_) {
                std::sort(order.begin(), order.end(), [](auto* a, auto* b) { return a->first < b->first; });
            }
            out_ += '{';
            for (const auto* entry : order) {
                separator();
                if (!(ok = string(entry->first))) break;
                out_ += pretty_ ? " : " : ":";
                if (!(ok = write(entry->second, depth + 1))) break;
            }
            if (ok && !order.empty()) newline(depth);
            out_ += '}';
        }
        open_.pop_back();
        return ok;
    }

    bool pretty_;
    bool sorted_;
    std::string out_;
    std::string error_;
    std::vector<const void*> open_;
};

}  // namespace

Result<Value> NSJSONSerialization::JSONObjectWithString(std::string_view text) {
    Builder builder;
    bool parsed =
        json::sax_parse(text.begin(), text.end(), &builder, nlohmann::detail::input_format_t::json, true, false);
    return builder.result(parsed);
}

Result<Value> NSJSONSerialization::JSONObjectWithData(const Bytes& data) {
    return JSONObjectWithString(std::string_view(reinterpret_cast<const char*>(data.data()), data.size()));
}

Result<std::string> NSJSONSerialization::stringWithJSONObject(const Value& value, unsigned options) {
    return Writer(options).write(value);
}

Result<Bytes> NSJSONSerialization::dataWithJSONObject(const Value& value, unsigned options) {
    auto text = stringWithJSONObject(value, options);
    if (!text) return fail(text.error());
    return Bytes(text->begin(), text->end());
}

bool NSJSONSerialization::isValidJSONObject(const Value& value) {
    return stringWithJSONObject(value).ok();
}
