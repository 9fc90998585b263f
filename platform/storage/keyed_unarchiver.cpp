// NSKeyedUnarchiver: rebuilds a Value graph from the "$objects" table. Every UID is checked,
// shared objects come back shared, and a cycle or an unknown shape fails the whole read.
#include <optional>
#include <unordered_set>

#include "platform/storage/file_manager.h"
#include "platform/storage/keyed_archive.h"
#include "platform/storage/plist_codec.h"
#include "platform/storage/property_list.h"

using namespace storage_detail;

namespace {

std::optional<std::uint64_t> uidOf(const Value& value) {
    if (!isUIDDictionary(value)) return std::nullopt;
    return value["CF$UID"].unsignedIntegerValue();
}

enum class Shape { Dictionary, Array, Set, Date, Data, String, Null, Unknown };

Shape shapeOf(std::string_view name) {
    if (name == "NSDictionary" || name == "NSMutableDictionary") return Shape::Dictionary;
    if (name == "NSArray" || name == "NSMutableArray") return Shape::Array;
    if (name == "NSSet" || name == "NSMutableSet") return Shape::Set;
    if (name == "NSDate") return Shape::Date;
    if (name == "NSData" || name == "NSMutableData") return Shape::Data;
    if (name == "NSString" || name == "NSMutableString") return Shape::String;
    if (name == "NSNull") return Shape::Null;
    return Shape::Unknown;
}

class Unarchiver {
public:
    explicit Unarchiver(const ValueArray& objects)
        : objects_(objects), decoded_(objects.size()), state_(objects.size(), 0) {}

    Result<Value> root(const Value& rootRef) {
        auto uid = uidOf(rootRef);
        if (!uid) return fail("archive has no root reference");
        auto value = decode(*uid, 0);
        if (!value) return fail("damaged archive: " + error_);
        return std::move(*value);
    }

private:
    std::nullopt_t bad(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        return std::nullopt;
    }

    std::optional<Value> decodeRef(const Value& ref, int depth) {
        auto uid = uidOf(ref);
        if (!uid) return bad("expected an object reference");
        return decode(*uid, depth);
    }

    std::optional<Value> decode(std::uint64_t uid, int depth) {
        if (uid == 0) return Value();
        if (uid >= objects_.size()) return bad("object reference out of range");
        if (state_[uid] == 2) return decoded_[uid];
        if (state_[uid] == 1) return bad("an object contains itself");
        if (depth > kMaxPlistDepth) return bad("nested too deeply");
        state_[uid] = 1;
        auto value = object(objects_[uid], depth);
        if (!value) return std::nullopt;
        state_[uid] = 2;
        decoded_[uid] = *value;
        return value;
    }

    Shape classShape(const Value& object) {
        auto cls = uidOf(object["$class"]);
        if (!cls || *cls == 0 || *cls >= objects_.size()) return Shape::Unknown;
        const Value& description = objects_[*cls];
        const Value& name = description["$classname"];
        if (!name.isString()) return Shape::Unknown;
        Shape shape = shapeOf(*name.string());
        // A subclass the reader does not know is read as the nearest known ancestor.
        if (shape == Shape::Unknown && description["$classes"].isArray()) {
            for (const Value& ancestor : *description["$classes"].arrayPtr()) {
                if (ancestor.isString() && (shape = shapeOf(*ancestor.string())) != Shape::Unknown) break;
            }
        }
        return shape;
    }

    std::optional<ValueArray> items(const Value& refs, int depth) {
        if (!refs.isArray()) return bad("container without its objects");
        ValueArray out;
        out.reserve(refs.count());
        for (const Value& ref : *refs.arrayPtr()) {
            auto item = decodeRef(ref, depth + 1);
            if (!item) return std::nullopt;
            out.push_back(std::move(*item));
        }
        return out;
    }

    // Strings and data may be stored in place or behind a reference.
    std::optional<Value> stored(const Value& field, bool (Value::*is)() const, int depth) {
        if ((field.*is)()) return field;
        if (uidOf(field)) {
            auto target = decodeRef(field, depth + 1);
            if (target && ((*target).*is)()) return target;
        }
        return bad("malformed string or data object");
    }

    std::optional<Value> object(const Value& object, int depth) {
        if (!object.isDictionary()) {
            if (object.isArray() || object.isSet() || object.isNull())
                return bad("unexpected array in the object table");
            return object;  // numbers, strings, data and plain dates are stored as themselves
        }
        switch (classShape(object)) {
            case Shape::Array: {
                auto list = items(object["NS.objects"], depth);
                if (!list) return std::nullopt;
                return Value(std::move(*list));
            }
            case Shape::Set: {
                // Each object is decoded once; one named again adds nothing to the set, and
                // its hash is taken once for the whole archive.
                const Value& refs = object["NS.objects"];
                if (!refs.isArray()) return bad("container without its objects");
                ValueSet set;
                std::unordered_set<std::uint64_t> named;
                for (const Value& ref : *refs.arrayPtr()) {
                    auto uid = uidOf(ref);
                    if (!uid) return bad("expected an object reference");
                    if (!named.insert(*uid).second) continue;
                    auto item = decode(*uid, depth + 1);
                    if (!item) return std::nullopt;
                    set.insert(std::move(*item), hashes_);
                }
                return Value(std::move(set));
            }
            case Shape::Dictionary: {
                auto keys = items(object["NS.keys"], depth);
                if (!keys) return std::nullopt;
                auto values = items(object["NS.objects"], depth);
                if (!values) return std::nullopt;
                if (keys->size() != values->size()) return bad("dictionary keys and objects differ in number");
                ValueDictionary dictionary;
                for (std::size_t k = 0; k < keys->size(); ++k) {
                    if (!(*keys)[k].isString()) return bad("dictionary key is not a string");
                    dictionary.set(*(*keys)[k].string(), std::move((*values)[k]));
                }
                return Value(std::move(dictionary));
            }
            case Shape::Date: {
                const Value& time = object["NS.time"];
                if (!time.isNumber() || time.isBool()) return bad("date without its time");
                return Value::date(time.doubleValue());
            }
            case Shape::Data: return stored(object["NS.data"], &Value::isData, depth);
            case Shape::String: return stored(object["NS.string"], &Value::isString, depth);
            case Shape::Null: return Value();
            case Shape::Unknown: break;
        }
        return bad("object of an unknown class");
    }

    const ValueArray& objects_;
    std::vector<Value> decoded_;
    std::vector<std::uint8_t> state_;  // 0 unread, 1 being read, 2 read
    ValueHashCache hashes_;            // what the archive's sets have hashed
    std::string error_;
};

}  // namespace

Result<Value> NSKeyedUnarchiver::unarchiveObjectWithData(const Bytes& data) {
    auto plist = NSPropertyListSerialization::propertyListWithData(data);
    if (!plist) return fail("not an archive: " + plist.error());
    const Value& top = *plist;
    const Value& archiver = top["$archiver"];
    if (!top.isDictionary() ||
        (!archiver.isNull() && !(archiver.isString() && *archiver.string() == "NSKeyedArchiver"))) {
        return fail("not a keyed archive");
    }
    const Value& objects = top["$objects"];
    if (!objects.isArray() || objects.count() == 0 || !top["$top"].isDictionary()) return fail("not a keyed archive");
    return Unarchiver(*objects.arrayPtr()).root(top["$top"]["root"]);
}

Result<Value> NSKeyedUnarchiver::unarchiveObjectWithFile(const std::string& path) {
    auto data = readFileData(path);
    if (!data) return fail(data.error());
    return unarchiveObjectWithData(*data);
}
