// The containers of Value: dictionaries that keep their insertion order, and sets that hash each
// item's whole contents once.
#include <algorithm>
#include <cstdint>
#include <unordered_set>

#include "platform/runtime/value.h"

// ---- ValueDictionary ----

ValueDictionary::ValueDictionary(std::initializer_list<Entry> entries) {
    for (const auto& e : entries) set(e.first, e.second);
}

bool ValueDictionary::contains(std::string_view key) const {
    return find(key) != nullptr;
}

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
