// NSKeyedArchiver: flattens a Value graph into the "$objects" table, referenced by UID.
#include <bit>
#include <map>
#include <set>
#include <unordered_map>

#include "platform/storage/file_manager.h"
#include "platform/storage/keyed_archive.h"
#include "platform/storage/plist_codec.h"

using namespace storage_detail;

namespace {

Value uidValue(std::uint64_t index) {
    return Value(ValueDictionary{{"CF$UID", Value(static_cast<long long>(index))}});
}

class Archiver {
public:
    Result<Bytes> archive(const Value& root) {
        objects_.push_back(Value("$null"));
        auto rootUid = encode(root, 0);
        if (!rootUid) return fail("cannot archive: " + error_);
        ValueDictionary top;
        top.set("$version", Value(100000));
        top.set("$archiver", Value("NSKeyedArchiver"));
        top.set("$top", Value(ValueDictionary{{"root", uidValue(*rootUid)}}));
        top.set("$objects", Value(std::move(objects_)));
        return encodeBinaryPlist(Value(std::move(top)), UIDs::Encode);
    }

private:
    std::nullopt_t refuse(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        return std::nullopt;
    }

    std::uint64_t push(Value object) {
        objects_.push_back(std::move(object));
        return objects_.size() - 1;
    }

    // Equal scalars share one entry; the kind is part of the key so 1, 1.0 and YES stay apart.
    std::uint64_t scalar(const Value& value, std::string key) {
        key.insert(key.begin(), static_cast<char>(value.kind()));
        auto [it, inserted] = scalars_.try_emplace(std::move(key), 0);
        if (inserted) it->second = push(value);
        return it->second;
    }

    std::uint64_t classUid(const std::string& name, std::initializer_list<const char*> chain) {
        auto [it, inserted] = classes_.try_emplace(name, 0);
        if (inserted) {
            ValueArray classes;
            for (const char* c : chain) classes.push_back(Value(c));
            it->second =
                push(Value(ValueDictionary{{"$classes", Value(std::move(classes))}, {"$classname", Value(name)}}));
        }
        return it->second;
    }

    std::optional<std::uint64_t> encode(const Value& value, int depth) {
        switch (value.kind()) {
            case Value::Kind::Null: return 0;
            case Value::Kind::Bool: return scalar(value, value.boolValue() ? "1" : "0");
            case Value::Kind::Int: return scalar(value, std::to_string(value.integerValue()));
            case Value::Kind::UInt: return scalar(value, std::to_string(value.unsignedIntegerValue()));
            case Value::Kind::Float:
                return scalar(value, std::to_string(std::bit_cast<std::uint32_t>(value.floatValue())));
            case Value::Kind::Double:
                return scalar(value, std::to_string(std::bit_cast<std::uint64_t>(value.doubleValue())));
            case Value::Kind::String: return scalar(value, *value.string());
            case Value::Kind::Data: return scalar(value, std::string(value.bytes()->begin(), value.bytes()->end()));
            case Value::Kind::Date: {
                std::string key = std::to_string(std::bit_cast<std::uint64_t>(value.dateValue()));
                key.insert(key.begin(), static_cast<char>(value.kind()));
                auto [it, inserted] = scalars_.try_emplace(std::move(key), 0);
                if (inserted) {
                    std::uint64_t cls = classUid("NSDate", {"NSDate", "NSObject"});
                    it->second =
                        push(Value(ValueDictionary{{"NS.time", Value(value.dateValue())}, {"$class", uidValue(cls)}}));
                }
                return it->second;
            }
            case Value::Kind::Array:
            case Value::Kind::Dictionary:
            case Value::Kind::Set: return container(value, depth);
            case Value::Kind::Object: return refuse("an object has no archived form");
        }
        return std::nullopt;
    }

    std::optional<std::uint64_t> container(const Value& value, int depth) {
        if (auto it = containers_.find(value.identity()); it != containers_.end()) {
            if (open_.count(value.identity())) return refuse("a container contains itself");
            return it->second;
        }
        if (depth >= kMaxPlistDepth) return refuse("containers nested too deeply");
        std::uint64_t index = push(Value());
        containers_.emplace(value.identity(), index);
        open_.insert(value.identity());

        auto uids = [&](const ValueArray& items) -> std::optional<Value> {
            ValueArray refs;
            refs.reserve(items.size());
            for (const Value& item : items) {
                auto uid = encode(item, depth + 1);
                if (!uid) return std::nullopt;
                refs.push_back(uidValue(*uid));
            }
            return Value(std::move(refs));
        };
        ValueDictionary object;
        std::optional<Value> items;
        std::uint64_t cls = 0;
        if (const ValueArray* array = value.arrayPtr()) {
            items = uids(*array);
            cls = classUid("NSMutableArray", {"NSMutableArray", "NSArray", "NSObject"});
        } else if (const ValueSet* set = value.setPtr()) {
            items = uids(set->items());
            cls = classUid("NSMutableSet", {"NSMutableSet", "NSSet", "NSObject"});
        } else {
            ValueArray keys;
            ValueArray values;
            for (const auto& [key, item] : *value.dictionaryPtr()) {
                keys.push_back(Value(key));
                values.push_back(item);
            }
            auto keyUids = uids(keys);
            if (keyUids) items = uids(values);
            if (keyUids) object.set("NS.keys", std::move(*keyUids));
            cls = classUid("NSMutableDictionary", {"NSMutableDictionary", "NSDictionary", "NSObject"});
        }
        open_.erase(value.identity());
        if (!items) return std::nullopt;
        object.set("NS.objects", std::move(*items));
        object.set("$class", uidValue(cls));
        objects_[index] = Value(std::move(object));
        return index;
    }

    ValueArray objects_;
    std::map<std::string, std::uint64_t> scalars_;
    std::map<std::string, std::uint64_t> classes_;
    std::unordered_map<const void*, std::uint64_t> containers_;
    std::set<const void*> open_;
    std::string error_;
};

}  // namespace

Result<Bytes> NSKeyedArchiver::archivedDataWithRootObject(const Value& root) {
    return Archiver().archive(root);
}

Result<void> NSKeyedArchiver::archiveRootObject(const Value& root, const std::string& path) {
    auto data = archivedDataWithRootObject(root);
    if (!data) return fail(data.error());
    return writeFileAtomically(path, *data);
}
