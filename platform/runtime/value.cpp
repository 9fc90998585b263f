// Value: kinds, conversions, equality, deep copies and descriptions.
#include "platform/runtime/value.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>
#include <set>
#include <unordered_set>

namespace {

template <class T>
T saturate(double v) {
    if (std::isnan(v)) return 0;
    if (v <= static_cast<double>(std::numeric_limits<T>::min())) return std::numeric_limits<T>::min();
    if (v >= static_cast<double>(std::numeric_limits<T>::max())) return std::numeric_limits<T>::max();
    return static_cast<T>(v);
}

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v';
}

// Leading integer of a string, as the platform's string integerValue reads it (saturating).
std::int64_t leadingInteger(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && isSpace(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    std::uint64_t magnitude = 0;
    bool overflow = false;
    for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
        std::uint64_t digit = static_cast<std::uint64_t>(s[i] - '0');
        if (magnitude > (std::numeric_limits<std::uint64_t>::max() - digit) / 10) {
            overflow = true;
            break;
        }
        magnitude = magnitude * 10 + digit;
    }
    constexpr auto maxPos = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (negative) {
        if (overflow || magnitude > maxPos + 1) return std::numeric_limits<std::int64_t>::min();
        return magnitude == maxPos + 1 ? std::numeric_limits<std::int64_t>::min()
                                       : -static_cast<std::int64_t>(magnitude);
    }
    if (overflow || magnitude > maxPos) return std::numeric_limits<std::int64_t>::max();
    return static_cast<std::int64_t>(magnitude);
}

// Leading floating-point number of a string; 0 when there is none.
double leadingDouble(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && isSpace(s[i])) ++i;
    const char* start = s.c_str() + i;
    char* end = nullptr;
    double v = std::strtod(start, &end);
    if (end == start) return 0;
    // strtod also reads hexadecimal, "inf" and "nan", which the platform's reader does not.
    std::string_view token(start, static_cast<std::size_t>(end - start));
    for (char c : token)
        if (c == 'x' || c == 'X' || c == 'n' || c == 'N' || c == 'i' || c == 'I') return 0;
    return v;
}

bool leadingBool(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && isSpace(s[i])) ++i;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    while (i < s.size() && s[i] == '0') ++i;
    if (i >= s.size()) return false;
    char c = s[i];
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

template <class F>
std::string shortest(F v) {
    if (std::isnan(v)) return "nan";
    if (std::isinf(v)) return v < 0 ? "-inf" : "inf";
    char buf[64];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

bool needsQuotes(const std::string& s) {
    if (s.empty()) return true;
    for (unsigned char c : s)
        if (!(std::isalnum(c) || c == '_' || c == '.' || c == '/' || c >= 0x80)) return true;
    return false;
}

std::string quoted(const std::string& s) {
    if (!needsQuotes(s)) return s;
    std::string out = "\"";
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        if (c == '\n') {
            out += "\\n";
            continue;
        }
        out += c;
    }
    return out + "\"";
}

void describe(const Value& v, std::string& out, int indent) {
    const std::string pad(static_cast<std::size_t>(indent) * 4, ' ');
    const std::string inner(static_cast<std::size_t>(indent + 1) * 4, ' ');
    if (auto* a = v.arrayPtr()) {
        out += "(";
        for (std::size_t i = 0; i < a->size(); ++i) {
            out += i ? ",\n" : "\n";
            out += inner;
            const Value& item = (*a)[i];
            if (item.isString())
                out += quoted(*item.string());
            else
                describe(item, out, indent + 1);
        }
        out += a->empty() ? ")" : "\n" + pad + ")";
    } else if (auto* d = v.dictionaryPtr()) {
        out += "{\n";
        for (const auto& [key, item] : *d) {
            out += inner + quoted(key) + " = ";
            if (item.isString())
                out += quoted(*item.string());
            else
                describe(item, out, indent + 1);
            out += ";\n";
        }
        out += pad + "}";
    } else if (auto* s = v.setPtr()) {
        out += "{(";
        bool first = true;
        for (const auto& item : s->items()) {
            out += first ? "\n" : ",\n";
            first = false;
            out += inner;
            describe(item, out, indent + 1);
        }
        out += s->size() ? "\n" + pad + ")}" : ")}";
    } else {
        out += v.description();
    }
}

}  // namespace

// ---- Value ----

Value::Value(const char* s) : Value(std::string(s ? s : "")) {
    if (!s) {
        kind_ = Kind::Null;
        ptr_.reset();
    }
}

Value::Value(std::string s) : kind_(Kind::String), ptr_(std::make_shared<std::string>(std::move(s))) {}
Value::Value(ValueArray a) : kind_(Kind::Array), ptr_(std::make_shared<ValueArray>(std::move(a))) {}
Value::Value(ValueDictionary d) : kind_(Kind::Dictionary), ptr_(std::make_shared<ValueDictionary>(std::move(d))) {}
Value::Value(ValueSet s) : kind_(Kind::Set), ptr_(std::make_shared<ValueSet>(std::move(s))) {}

Value Value::data(Bytes bytes) {
    Value v;
    v.kind_ = Kind::Data;
    v.ptr_ = std::make_shared<Bytes>(std::move(bytes));
    return v;
}

Value Value::date(double secondsSinceReferenceDate) {
    Value v;
    v.kind_ = Kind::Date;
    v.u_.d = secondsSinceReferenceDate;
    return v;
}

Value Value::array(std::initializer_list<Value> items) {
    return Value(ValueArray(items));
}

Value Value::dictionary(std::initializer_list<ValueDictionary::Entry> entries) {
    return Value(ValueDictionary(entries));
}

const Value& Value::null() {
    static const Value nothing;
    return nothing;
}

bool Value::isNumber() const {
    switch (kind_) {
        case Kind::Bool:
        case Kind::Int:
        case Kind::UInt:
        case Kind::Float:
        case Kind::Double: return true;
        default: return false;
    }
}

bool Value::boolValue() const {
    switch (kind_) {
        case Kind::Bool: return u_.b;
        case Kind::Int: return u_.i != 0;
        case Kind::UInt: return u_.u != 0;
        case Kind::Float: return u_.f != 0;
        case Kind::Double: return u_.d != 0;
        case Kind::String: return leadingBool(*string());
        default: return false;
    }
}

std::int64_t Value::integerValue() const {
    switch (kind_) {
        case Kind::Bool: return u_.b ? 1 : 0;
        case Kind::Int: return u_.i;
        case Kind::UInt:
            return u_.u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())
                       ? std::numeric_limits<std::int64_t>::max()
                       : static_cast<std::int64_t>(u_.u);
        case Kind::Float: return saturate<std::int64_t>(u_.f);
        case Kind::Double: return saturate<std::int64_t>(u_.d);
        case Kind::String: return leadingInteger(*string());
        default: return 0;
    }
}

std::uint64_t Value::unsignedIntegerValue() const {
    switch (kind_) {
        case Kind::UInt: return u_.u;
        case Kind::Float:
            return u_.f < 0 ? static_cast<std::uint64_t>(saturate<std::int64_t>(u_.f)) : saturate<std::uint64_t>(u_.f);
        case Kind::Double:
            return u_.d < 0 ? static_cast<std::uint64_t>(saturate<std::int64_t>(u_.d)) : saturate<std::uint64_t>(u_.d);
        default: return static_cast<std::uint64_t>(integerValue());
    }
}

double Value::doubleValue() const {
    switch (kind_) {
        case Kind::Bool: return u_.b ? 1 : 0;
        case Kind::Int: return static_cast<double>(u_.i);
        case Kind::UInt: return static_cast<double>(u_.u);
        case Kind::Float: return u_.f;
        case Kind::Double: return u_.d;
        case Kind::Date: return u_.d;
        case Kind::String: return leadingDouble(*string());
        default: return 0;
    }
}

float Value::floatValue() const {
    if (kind_ == Kind::Float) return u_.f;
    return static_cast<float>(doubleValue());
}

std::string Value::stringValue() const {
    if (kind_ == Kind::String) return *string();
    if (isNumber()) return description();
    return {};
}

const std::string* Value::string() const {
    return kind_ == Kind::String ? static_cast<const std::string*>(ptr_.get()) : nullptr;
}

const Bytes* Value::bytes() const {
    return kind_ == Kind::Data ? static_cast<const Bytes*>(ptr_.get()) : nullptr;
}
double Value::dateValue() const {
    return kind_ == Kind::Date ? u_.d : 0;
}
ValueArray* Value::arrayPtr() const {
    return kind_ == Kind::Array ? static_cast<ValueArray*>(ptr_.get()) : nullptr;
}
ValueDictionary* Value::dictionaryPtr() const {
    return kind_ == Kind::Dictionary ? static_cast<ValueDictionary*>(ptr_.get()) : nullptr;
}
ValueSet* Value::setPtr() const {
    return kind_ == Kind::Set ? static_cast<ValueSet*>(ptr_.get()) : nullptr;
}

std::shared_ptr<NSObject> Value::object() const {
    return kind_ == Kind::Object ? std::static_pointer_cast<NSObject>(ptr_) : nullptr;
}

std::size_t Value::count() const {
    if (auto* a = arrayPtr()) return a->size();
    if (auto* d = dictionaryPtr()) return d->size();
    if (auto* s = setPtr()) return s->size();
    return 0;
}

const Value& Value::operator[](std::size_t index) const {
    auto* a = arrayPtr();
    return (a && index < a->size()) ? (*a)[index] : null();
}

const Value& Value::operator[](std::string_view key) const {
    auto* d = dictionaryPtr();
    return d ? d->get(key) : null();
}

void Value::set(std::string key, Value value) const {
    if (auto* d = dictionaryPtr()) d->set(std::move(key), std::move(value));
}

void Value::append(Value value) const {
    if (auto* a = arrayPtr()) a->push_back(std::move(value));
}

Value Value::deepCopy() const {
    if (auto* a = arrayPtr()) {
        ValueArray copy;
        copy.reserve(a->size());
        for (const auto& item : *a) copy.push_back(item.deepCopy());
        return Value(std::move(copy));
    }
    if (auto* d = dictionaryPtr()) {
        ValueDictionary copy;
        for (const auto& [key, item] : *d) copy.set(key, item.deepCopy());
        return Value(std::move(copy));
    }
    if (auto* s = setPtr()) {
        ValueSet copy;
        for (const auto& item : s->items()) copy.insert(item.deepCopy());
        return Value(std::move(copy));
    }
    return *this;
}

namespace {

bool isContainer(const Value& v) {
    return v.isArray() || v.isDictionary() || v.isSet();
}

// Pairs of containers already compared (or being compared): met again, they count as equal, so
// that contents shared many times over are compared once rather than once per path to them.
using ComparedPairs = std::set<std::pair<const void*, const void*>>;

bool equalItems(const Value& a, const Value& b, ComparedPairs& compared);

bool equalContainers(const Value& a, const Value& b, ComparedPairs& compared) {
    if (a.kind() != b.kind()) return false;
    if (a.identity() == b.identity()) return true;
    if (!compared.emplace(a.identity(), b.identity()).second) return true;
    if (const ValueArray* left = a.arrayPtr()) {
        const ValueArray& right = *b.arrayPtr();
        if (left->size() != right.size()) return false;
        for (std::size_t i = 0; i < left->size(); ++i)
            if (!equalItems((*left)[i], right[i], compared)) return false;
        return true;
    }
    if (const ValueDictionary* left = a.dictionaryPtr()) {
        const ValueDictionary& right = *b.dictionaryPtr();
        if (left->size() != right.size()) return false;
        for (const auto& [key, item] : *left) {
            const Value* match = right.find(key);
            if (!match || !equalItems(item, *match, compared)) return false;
        }
        return true;
    }
    const ValueSet& left = *a.setPtr();
    const ValueSet& right = *b.setPtr();
    return left.size() == right.size() && right.containsAll(left);
}

bool equalItems(const Value& a, const Value& b, ComparedPairs& compared) {
    if (isContainer(a) && isContainer(b)) return equalContainers(a, b, compared);
    return a.isEqual(b);
}

}  // namespace

bool Value::isEqual(const Value& other) const {
    if (isNumber() && other.isNumber()) {
        if (isInteger() && other.isInteger()) {
            if (kind_ == other.kind_) return kind_ == Kind::Int ? u_.i == other.u_.i : u_.u == other.u_.u;
            const Value& s = kind_ == Kind::Int ? *this : other;
            const Value& u = kind_ == Kind::Int ? other : *this;
            return s.u_.i >= 0 && static_cast<std::uint64_t>(s.u_.i) == u.u_.u;
        }
        return doubleValue() == other.doubleValue();
    }
    if (kind_ != other.kind_) return false;
    switch (kind_) {
        case Kind::Null: return true;
        case Kind::String: return ptr_ == other.ptr_ || *string() == *other.string();
        case Kind::Data: return ptr_ == other.ptr_ || *bytes() == *other.bytes();
        case Kind::Date: return u_.d == other.u_.d;
        case Kind::Array:
        case Kind::Dictionary:
        case Kind::Set: {
            ComparedPairs compared;
            return equalContainers(*this, other, compared);
        }
        case Kind::Object: return ptr_ == other.ptr_ || object()->isEqual(*other.object());
        default: return false;
    }
}

std::string Value::description() const {
    switch (kind_) {
        case Kind::Null: return "(null)";
        case Kind::Bool: return u_.b ? "1" : "0";
        case Kind::Int: return std::to_string(u_.i);
        case Kind::UInt: return std::to_string(u_.u);
        case Kind::Float: return shortest(u_.f);
        case Kind::Double: return shortest(u_.d);
        case Kind::String: return *string();
        case Kind::Data: {
            static const char* hex = "0123456789abcdef";
            std::string out = "<";
            const Bytes& b = *bytes();
            for (std::size_t i = 0; i < b.size(); ++i) {
                if (i && i % 4 == 0) out += ' ';
                out += hex[b[i] >> 4];
                out += hex[b[i] & 15];
            }
            return out + ">";
        }
        case Kind::Date: {
            // Seconds since 2001-01-01 00:00:00 UTC shown as "yyyy-MM-dd HH:mm:ss +0000".
            std::time_t t = static_cast<std::time_t>(std::floor(u_.d)) + 978307200;
            std::tm tm{};
            gmtime_r(&t, &tm);
            char buf[40];
            std::strftime(buf, sizeof buf, "%Y-%m-%d %H:%M:%S +0000", &tm);
            return buf;
        }
        case Kind::Object: return object()->description();
        default: {
            std::string out;
            describe(*this, out, 0);
            return out;
        }
    }
}

const char* valueKindName(Value::Kind kind) {
    switch (kind) {
        case Value::Kind::Null: return "null";
        case Value::Kind::Bool: return "bool";
        case Value::Kind::Int: return "int";
        case Value::Kind::UInt: return "uint";
        case Value::Kind::Float: return "float";
        case Value::Kind::Double: return "double";
        case Value::Kind::String: return "string";
        case Value::Kind::Data: return "data";
        case Value::Kind::Date: return "date";
        case Value::Kind::Array: return "array";
        case Value::Kind::Dictionary: return "dictionary";
        case Value::Kind::Set: return "set";
        case Value::Kind::Object: return "object";
    }
    return "?";
}
