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

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f' || c == '\v'; }

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

// ---- ValueDictionary ----

ValueDictionary::ValueDictionary(std::initializer_list<Entry> entries) {
    for (const auto& e : entries) set(e.first, e.second);
}

bool ValueDictionary::contains(std::string_view key) const { return find(key) != nullptr; }

const Value& ValueDictionary::get(std::string_view key) const {
    const Value* v = find(key);
    return v ? *v : Value::null();
}

Value* ValueDictionary::find(std::string_view key) {
    auto it = index_.find(key);
    return it == index_.end() ? nullptr : &entries_[it->second].second;
}

const Value* ValueDictionary::find(std::string_view key) const {
    auto it = index_.find(key);
    return it == index_.end() ? nullptr : &entries_[it->second].second;
}

void ValueDictionary::set(std::string key, Value value) {
    if (value.isNull()) {
        remove(key);
        return;
    }
    if (Value* existing = find(key)) {
        *existing = std::move(value);
        return;
    }
    index_.emplace(key, entries_.size());
    entries_.emplace_back(std::move(key), std::move(value));
    removed_.push_back(0);
}

bool ValueDictionary::remove(std::string_view key) {
    auto it = index_.find(key);
    if (it == index_.end()) return false;
    const std::size_t position = it->second;
    index_.erase(it);
    if (position + 1 == entries_.size()) {
        entries_.pop_back();
        removed_.pop_back();
    } else {
        // A gap rather than an erase: shifting the later entries and renumbering them would make
        // n removals cost n squared.
        entries_[position] = Entry();
        removed_[position] = 1;
        ++gaps_;
    }
    // Trailing gaps go at once; the rest once they outnumber the entries, so that each
    // compaction is paid for by the removals before it.
    while (!entries_.empty() && removed_.back()) {
        entries_.pop_back();
        removed_.pop_back();
        --gaps_;
    }
    if (gaps_ > 0 && 2 * gaps_ > entries_.size()) compact();
    return true;
}

void ValueDictionary::clear() {
    entries_.clear();
    removed_.clear();
    gaps_ = 0;
    index_.clear();
}

std::vector<std::string> ValueDictionary::keys() const {
    std::vector<std::string> out;
    out.reserve(size());
    for (const auto& e : *this) out.push_back(e.first);
    return out;
}

void ValueDictionary::compact() {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (removed_[i]) continue;
        if (kept != i) entries_[kept] = std::move(entries_[i]);
        ++kept;
    }
    entries_.resize(kept);
    removed_.assign(kept, 0);
    gaps_ = 0;
    index_.clear();
    for (std::size_t i = 0; i < entries_.size(); ++i) index_.emplace(entries_[i].first, i);
}

// ---- ValueSet ----

namespace {

// Mixes a hash so that sums and chains of hashes stay well spread.
std::size_t mixed(std::size_t h) {
    std::uint64_t x = static_cast<std::uint64_t>(h) + 0x9e3779b97f4a7c15ull;
    x = (x ^ (x >> 30)) * 0xbf58476d1ce4e5b9ull;
    x = (x ^ (x >> 27)) * 0x94d049bb133111ebull;
    return static_cast<std::size_t>(x ^ (x >> 31));
}

// Values nested deeper than this (no file's are) hash by kind and size below it, so that the
// hash never runs the stack out.
constexpr int kHashedLevels = 1024;

// Hashes a value and everything in it once: strings, data and containers met again (shared
// storage, or a cache kept across calls) are looked up by identity rather than hashed again,
// and a container met inside itself hashes by kind and size.
class ContentHasher {
public:
    // Strings and data are kept in the cache only when it outlives this hasher (a caller's).
    ContentHasher(ValueHashCache& cache, bool keepsText) : cache_(cache), keepsText_(keepsText) {}

    // A hash that agrees with isEqual: equal numbers of any kind meet through their double value;
    // arrays by their items in order, dictionaries and sets by their items in any order (a sum);
    // objects only by kind. A container changed while it is in a set is no longer found by its
    // new content, as with the platform's sets.
    std::size_t hash(const Value& v, int levels = kHashedLevels) {
        if (v.isNumber()) return std::hash<double>{}(v.doubleValue());
        if (v.isDate()) return std::hash<double>{}(v.dateValue());
        if (v.isNull() || v.isObject()) return mixed(static_cast<std::size_t>(v.kind()));
        const void* identity = v.identity();
        if (auto known = cache_.find(identity); known != cache_.end()) return known->second.second;
        std::size_t h = 0;
        if (const std::string* text = v.string()) {
            h = std::hash<std::string_view>{}(*text);
        } else if (const Bytes* bytes = v.bytes()) {
            h = std::hash<std::string_view>{}(
                std::string_view(reinterpret_cast<const char*>(bytes->data()), bytes->size()));
        } else {
            h = mixed(static_cast<std::size_t>(v.kind()) * 31 + v.count());
            if (levels <= 0) return h;
            if (!open_.insert(identity).second) {
                // A container inside itself: its hash now depends on where it was entered, so
                // nothing hashed from here on is kept.
                cycle_ = true;
                return h;
            }
            if (const ValueArray* array = v.arrayPtr()) {
                for (const Value& item : *array) h = mixed(h ^ hash(item, levels - 1));
            } else if (const ValueDictionary* dictionary = v.dictionaryPtr()) {
                for (const auto& [key, item] : *dictionary)
                    h += mixed(std::hash<std::string_view>{}(key) ^ mixed(hash(item, levels - 1)));
            } else if (const ValueSet* set = v.setPtr()) {
                h += set->contentHash();
            }
            open_.erase(identity);
            if (cycle_) return h;
            cache_.emplace(identity, std::make_pair(v, h));
            return h;
        }
        if (keepsText_) cache_.emplace(identity, std::make_pair(v, h));
        return h;
    }

private:
    ValueHashCache& cache_;
    bool keepsText_;
    std::unordered_set<const void*> open_;
    bool cycle_ = false;
};

std::size_t setHash(const Value& v) {
    ValueHashCache cache;
    return ContentHasher(cache, false).hash(v);
}

}  // namespace

std::optional<std::size_t> ValueSet::positionOf(const Value& v, std::size_t hash) const {
    auto [first, last] = index_.equal_range(hash);
    for (auto it = first; it != last; ++it)
        if (items_[it->second].isEqual(v)) return it->second;
    return std::nullopt;
}

bool ValueSet::contains(const Value& v) const {
    return positionOf(v, setHash(v)).has_value();
}

bool ValueSet::insert(Value v) {
    if (v.isNull()) return false;
    const std::size_t hash = setHash(v);
    return insertHashed(std::move(v), hash);
}

bool ValueSet::insert(Value v, ValueHashCache& cache) {
    if (v.isNull()) return false;
    const std::size_t hash = ContentHasher(cache, true).hash(v);
    return insertHashed(std::move(v), hash);
}

bool ValueSet::insertHashed(Value v, std::size_t hash) {
    if (positionOf(v, hash)) return false;
    index_.emplace(hash, items_.size());
    items_.push_back(std::move(v));
    hashes_.push_back(hash);
    return true;
}

bool ValueSet::remove(const Value& v) {
    auto position = positionOf(v, setHash(v));
    if (!position) return false;
    items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(*position));
    hashes_.erase(hashes_.begin() + static_cast<std::ptrdiff_t>(*position));
    index_.clear();
    for (std::size_t i = 0; i < items_.size(); ++i) index_.emplace(hashes_[i], i);
    return true;
}

bool ValueSet::containsAll(const ValueSet& other) const {
    for (std::size_t i = 0; i < other.items_.size(); ++i)
        if (!positionOf(other.items_[i], other.hashes_[i])) return false;
    return true;
}

std::size_t ValueSet::contentHash() const {
    std::size_t h = 0;
    for (std::size_t hash : hashes_) h += mixed(hash);
    return h;
}

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

Value Value::array(std::initializer_list<Value> items) { return Value(ValueArray(items)); }

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
    case Kind::Float: return u_.f < 0 ? static_cast<std::uint64_t>(saturate<std::int64_t>(u_.f)) : saturate<std::uint64_t>(u_.f);
    case Kind::Double: return u_.d < 0 ? static_cast<std::uint64_t>(saturate<std::int64_t>(u_.d)) : saturate<std::uint64_t>(u_.d);
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

const Bytes* Value::bytes() const { return kind_ == Kind::Data ? static_cast<const Bytes*>(ptr_.get()) : nullptr; }
double Value::dateValue() const { return kind_ == Kind::Date ? u_.d : 0; }
ValueArray* Value::arrayPtr() const { return kind_ == Kind::Array ? static_cast<ValueArray*>(ptr_.get()) : nullptr; }
ValueDictionary* Value::dictionaryPtr() const {
    return kind_ == Kind::Dictionary ? static_cast<ValueDictionary*>(ptr_.get()) : nullptr;
}
ValueSet* Value::setPtr() const { return kind_ == Kind::Set ? static_cast<ValueSet*>(ptr_.get()) : nullptr; }

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
