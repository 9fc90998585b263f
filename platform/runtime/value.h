// Value: the dynamic value of property lists, JSON, filter descriptions, settings and menus.
//
// Numbers keep their kind (a bool is not an integer, a float is not a double). Arrays,
// dictionaries and sets have reference semantics: copying a Value shares the container, and
// deepCopy() makes new ones. Data and strings are plain values. Not thread-safe: a container
// shared between threads needs its owner's lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/runtime/object.h"

class Value;

using Bytes = std::vector<std::uint8_t>;

// An ordered list of values (NSArray / NSMutableArray).
using ValueArray = std::vector<Value>;

// A dictionary with string keys that keeps insertion order (NSDictionary / NSMutableDictionary).
// A removal leaves a gap that iteration skips, closed once gaps outnumber entries, so that any
// sequence of changes costs time linear in its length.
class ValueDictionary {
public:
    using Entry = std::pair<std::string, Value>;

    // Visits the entries in insertion order, past the gaps of removed ones.
    class const_iterator {
    public:
        using iterator_category = std::forward_iterator_tag;
        using value_type = Entry;
        using difference_type = std::ptrdiff_t;
        using pointer = const Entry*;
        using reference = const Entry&;

        const_iterator() = default;
        reference operator*() const;
        pointer operator->() const;
        const_iterator& operator++();
        const_iterator operator++(int) {
            const_iterator before = *this;
            ++*this;
            return before;
        }
        bool operator==(const const_iterator& other) const { return position_ == other.position_; }
        bool operator!=(const const_iterator& other) const { return position_ != other.position_; }

    private:
        friend class ValueDictionary;
        const_iterator(const ValueDictionary* owner, std::size_t position);
        void skipGaps();
        const ValueDictionary* owner_ = nullptr;
        std::size_t position_ = 0;
    };

    ValueDictionary() = default;
    ValueDictionary(std::initializer_list<Entry> entries);

    // Bodies that need the complete Value follow its class.
    std::size_t size() const;
    bool empty() const;
    bool contains(std::string_view key) const;

    // Returns null when the key is absent.
    const Value& get(std::string_view key) const;
    Value* find(std::string_view key);
    const Value* find(std::string_view key) const;
    // Setting a null value removes the key, as a platform dictionary cannot hold nil.
    void set(std::string key, Value value);
    bool remove(std::string_view key);
    void clear();

    std::vector<std::string> keys() const;
    const_iterator begin() const;
    const_iterator end() const;

private:
    // Drops the gaps and renumbers the index.
    void compact();
    // Looked up by string_view without making a string (keys are often past the short-string size).
    struct KeyHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view key) const { return std::hash<std::string_view>{}(key); }
    };
    std::vector<Entry> entries_;
    // Parallel to entries_: 1 where the entry was removed (a gap).
    std::vector<std::uint8_t> removed_;
    std::size_t gaps_ = 0;
    std::unordered_map<std::string, std::size_t, KeyHash, std::equal_to<>> index_;
};

// The hashes of values a set has met, by the identity of their shared storage (strings, data,
// containers), each with the value that keeps that storage alive. A decoder keeps one for a whole
// file, so that an object named many times is hashed once; only for values nobody changes.
using ValueHashCache = std::unordered_map<const void*, std::pair<Value, std::size_t>>;

// An unordered collection of distinct values (NSSet), iterated in insertion order. Lookups go
// through a hash of each item's whole content, so building a set of n items costs about the
// items' total size, however deep they are nested.
class ValueSet {
public:
    std::size_t size() const;
    bool contains(const Value& v) const;
    bool insert(Value v);
    // The same, hashing through the caller's cache.
    bool insert(Value v, ValueHashCache& cache);
    bool remove(const Value& v);
    const ValueArray& items() const { return items_; }
    // True when every item of `other` is one of these (with the hash `other` holds for it).
    bool containsAll(const ValueSet& other) const;
    // The hash of the set's contents, the same for equal sets.
    std::size_t contentHash() const;

private:
    bool insertHashed(Value v, std::size_t hash);
    std::optional<std::size_t> positionOf(const Value& v, std::size_t hash) const;

    ValueArray items_;
    // Parallel to items_: each item's hash when it went in.
    std::vector<std::size_t> hashes_;
    // Hash of an item -> its position in items_.
    std::unordered_multimap<std::size_t, std::size_t> index_;
};

class Value {
public:
    enum class Kind { Null, Bool, Int, UInt, Float, Double, String, Data, Date, Array, Dictionary, Set, Object };

    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool b) : kind_(Kind::Bool) { u_.b = b; }
    Value(int v) : kind_(Kind::Int) { u_.i = v; }
    Value(long v) : kind_(Kind::Int) { u_.i = v; }
    Value(long long v) : kind_(Kind::Int) { u_.i = v; }
    Value(unsigned v) : kind_(Kind::UInt) { u_.u = v; }
    Value(unsigned long v) : kind_(Kind::UInt) { u_.u = v; }
    Value(unsigned long long v) : kind_(Kind::UInt) { u_.u = v; }
    Value(float v) : kind_(Kind::Float) { u_.f = v; }
    Value(double v) : kind_(Kind::Double) { u_.d = v; }
    Value(const char* s);
    Value(std::string s);
    Value(std::string_view s) : Value(std::string(s)) {}
    Value(ValueArray a);
    Value(ValueDictionary d);
    Value(ValueSet s);
    template <class T, class = std::enable_if_t<std::is_base_of_v<NSObject, T>>>
    Value(std::shared_ptr<T> object) {
        if (object) {
            kind_ = Kind::Object;
            ptr_ = std::static_pointer_cast<NSObject>(std::move(object));
        }
    }

    static Value data(Bytes bytes);
    static Value date(double secondsSinceReferenceDate);
    static Value array(std::initializer_list<Value> items = {});
    static Value dictionary(std::initializer_list<ValueDictionary::Entry> entries = {});

    Kind kind() const { return kind_; }
    bool isNull() const { return kind_ == Kind::Null; }
    bool isBool() const { return kind_ == Kind::Bool; }
    bool isNumber() const;  // bool, integers and floating kinds
    bool isInteger() const { return kind_ == Kind::Int || kind_ == Kind::UInt; }
    bool isFloating() const { return kind_ == Kind::Float || kind_ == Kind::Double; }
    bool isString() const { return kind_ == Kind::String; }
    bool isData() const { return kind_ == Kind::Data; }
    bool isDate() const { return kind_ == Kind::Date; }
    bool isArray() const { return kind_ == Kind::Array; }
    bool isDictionary() const { return kind_ == Kind::Dictionary; }
    bool isSet() const { return kind_ == Kind::Set; }
    bool isObject() const { return kind_ == Kind::Object; }
    explicit operator bool() const { return !isNull(); }

    // Conversions with the platform's rules: numbers convert between kinds (saturating),
    // strings are read from their leading characters, anything else gives 0 / NO.
    bool boolValue() const;
    std::int64_t integerValue() const;
    std::uint64_t unsignedIntegerValue() const;
    float floatValue() const;
    double doubleValue() const;
    // A string's own text, a number's description, or "" for anything else.
    std::string stringValue() const;

    // Typed access; null when the value is of another kind.
    const std::string* string() const;
    const Bytes* bytes() const;
    double dateValue() const;  // seconds since 2001-01-01 00:00:00 UTC, 0 when not a date
    ValueArray* arrayPtr() const;
    ValueDictionary* dictionaryPtr() const;
    ValueSet* setPtr() const;
    std::shared_ptr<NSObject> object() const;
    template <class T>
    std::shared_ptr<T> objectAs() const {
        return std::dynamic_pointer_cast<T>(object());
    }

    // Container helpers that answer null / 0 on the wrong kind.
    std::size_t count() const;
    const Value& operator[](std::size_t index) const;
    const Value& operator[](std::string_view key) const;
    const Value& operator[](const char* key) const { return (*this)[std::string_view(key)]; }
    void set(std::string key, Value value) const;  // no-op unless a dictionary
    void append(Value value) const;                // no-op unless an array

    // The same structure with new containers all the way down.
    Value deepCopy() const;

    // Platform equality: numbers compare by value across kinds, containers by contents,
    // objects by isEqual.
    bool isEqual(const Value& other) const;
    bool operator==(const Value& other) const { return isEqual(other); }
    // Identity of the shared container or object (for reference-semantics checks).
    const void* identity() const { return ptr_.get(); }

    // The text "%@" prints.
    std::string description() const;

    static const Value& null();

private:
    friend class WeakValue;  // holds a container or object without keeping it alive

    Kind kind_ = Kind::Null;
    union {
        bool b;
        std::int64_t i;
        std::uint64_t u;
        float f;
        double d;
    } u_{};
    std::shared_ptr<void> ptr_;  // string, data, containers, object
};

inline std::size_t ValueDictionary::size() const {
    return entries_.size() - gaps_;
}
inline bool ValueDictionary::empty() const {
    return size() == 0;
}
inline ValueDictionary::const_iterator::const_iterator(const ValueDictionary* owner, std::size_t position)
    : owner_(owner), position_(position) {
    skipGaps();
}
inline void ValueDictionary::const_iterator::skipGaps() {
    while (position_ < owner_->entries_.size() && owner_->removed_[position_]) ++position_;
}
inline ValueDictionary::const_iterator::reference ValueDictionary::const_iterator::operator*() const {
    return owner_->entries_[position_];
}
inline ValueDictionary::const_iterator::pointer ValueDictionary::const_iterator::operator->() const {
    return &owner_->entries_[position_];
}
inline ValueDictionary::const_iterator& ValueDictionary::const_iterator::operator++() {
    ++position_;
    skipGaps();
    return *this;
}
inline ValueDictionary::const_iterator ValueDictionary::begin() const {
    return const_iterator(this, 0);
}
inline ValueDictionary::const_iterator ValueDictionary::end() const {
    return const_iterator(this, entries_.size());
}
inline std::size_t ValueSet::size() const {
    return items_.size();
}

// Value of an NSNumber-like kind from a double with the given kind.
const char* valueKindName(Value::Kind kind);
