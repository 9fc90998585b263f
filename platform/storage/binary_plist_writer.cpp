// Binary property-list writer: objects flattened into a table, scalars stored once.
#include <bit>
#include <cstring>
#include <map>
#include <set>

#include "platform/storage/plist_codec.h"
#include "platform/storage/unicode.h"

namespace storage_detail {
namespace {

void appendBigEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int k = bytes - 1; k >= 0; --k) out += static_cast<char>((value >> (8 * k)) & 0xFF);
}

int bytesFor(std::uint64_t value) {
    if (value <= 0xFF) return 1;
    if (value <= 0xFFFF) return 2;
    if (value <= 0xFFFFFFFFu) return 4;
    return 8;
}

void appendUnsigned(std::string& out, std::uint64_t value) {
    int bytes = bytesFor(value);
    out += static_cast<char>(0x10 | std::countr_zero(static_cast<unsigned>(bytes)));
    appendBigEndian(out, value, bytes);
}

void appendMarker(std::string& out, std::uint8_t type, std::uint64_t count) {
    if (count < 15) {
        out += static_cast<char>(type | count);
    } else {
        out += static_cast<char>(type | 0x0F);
        appendUnsigned(out, count);
    }
}

class Writer {
public:
    explicit Writer(UIDs uids) : uids_(uids) {}

    Result<Bytes> write(const Value& root) {
        if (!add(root, 0)) return fail(error_);
        return serialise();
    }

private:
    struct Object {
        std::string scalar;               // complete encoding of a scalar
        std::uint8_t containerType = 0;   // 0xA0 array, 0xC0 set, 0xD0 dictionary
        std::vector<std::uint64_t> refs;  // dictionary: keys, then values
    };

    bool refuse(std::string message) {
        if (error_.empty()) error_ = std::move(message);
        return false;
    }

    std::optional<std::uint64_t> addScalar(std::string encoded) {
        auto [it, inserted] = scalars_.try_emplace(encoded, objects_.size());
        if (inserted) objects_.push_back(Object{std::move(encoded), 0, {}});
        return it->second;
    }

    std::optional<std::string> encodeString(const std::string& text) {
        std::string out;
        bool ascii = true;
        for (unsigned char c : text) ascii = ascii && c < 0x80;
        if (ascii) {
            appendMarker(out, 0x50, text.size());
            out += text;
            return out;
        }
        auto units = utf8ToUtf16(text);
        if (!units) return std::nullopt;
        appendMarker(out, 0x60, units->size());
        for (char16_t unit : *units) appendBigEndian(out, unit, 2);
        return out;
    }

    // Returns the object's index, or none after recording why it failed.
    std::optional<std::uint64_t> add(const Value& value, int depth) {
        std::string out;
        switch (value.kind()) {
            case Value::Kind::Bool: return addScalar(value.boolValue() ? "\x09" : "\x08");
            case Value::Kind::Int: {
                std::int64_t v = value.integerValue();
                if (v >= 0) {
                    appendUnsigned(out, static_cast<std::uint64_t>(v));
                } else {
                    out += '\x13';
                    appendBigEndian(out, static_cast<std::uint64_t>(v), 8);
                }
                return addScalar(std::move(out));
            }
            case Value::Kind::UInt: {
                std::uint64_t v = value.unsignedIntegerValue();
                if (v <= static_cast<std::uint64_t>(INT64_MAX)) {
                    appendUnsigned(out, v);
                } else {
                    // Above the signed range the format needs the 16-byte integer.
                    out += '\x14';
                    appendBigEndian(out, 0, 8);
                    appendBigEndian(out, v, 8);
                }
                return addScalar(std::move(out));
            }
            case Value::Kind::Float:
                out += '\x22';
                appendBigEndian(out, std::bit_cast<std::uint32_t>(value.floatValue()), 4);
                return addScalar(std::move(out));
            case Value::Kind::Double:
                out += '\x23';
                appendBigEndian(out, std::bit_cast<std::uint64_t>(value.doubleValue()), 8);
                return addScalar(std::move(out));
            case Value::Kind::Date:
                out += '\x33';
                appendBigEndian(out, std::bit_cast<std::uint64_t>(value.dateValue()), 8);
                return addScalar(std::move(out));
            case Value::Kind::String: {
                auto encoded = encodeString(*value.string());
                if (!encoded) return refuse("a string is not valid UTF-8"), std::nullopt;
                return addScalar(std::move(*encoded));
            }
            case Value::Kind::Data: {
                const Bytes& bytes = *value.bytes();
                appendMarker(out, 0x40, bytes.size());
                out.append(reinterpret_cast<const char*>(bytes.data()), bytes.size());
                return addScalar(std::move(out));
            }
            case Value::Kind::Dictionary:
                if (uids_ == UIDs::Encode && isUIDDictionary(value)) {
                    std::uint64_t uid = value["CF$UID"].unsignedIntegerValue();
                    int bytes = bytesFor(uid);
                    out += static_cast<char>(0x80 | (bytes - 1));
                    appendBigEndian(out, uid, bytes);
                    return addScalar(std::move(out));
                }
                [[fallthrough]];
            case Value::Kind::Array:
            case Value::Kind::Set: return addContainer(value, depth);
            case Value::Kind::Null: return refuse("null has no property-list form"), std::nullopt;
            case Value::Kind::Object: return refuse("an object has no property-list form"), std::nullopt;
        }
        return std::nullopt;
    }

    std::optional<std::uint64_t> addContainer(const Value& value, int depth) {
        if (depth >= kMaxPlistDepth) return refuse("containers nested too deeply"), std::nullopt;
        if (!open_.insert(value.identity()).second) return refuse("a container contains itself"), std::nullopt;
        std::uint64_t index = objects_.size();
        objects_.emplace_back();
        std::vector<std::uint64_t> refs;
        std::uint8_t type = 0xA0;
        auto addAll = [&](const ValueArray& items) {
            for (const Value& item : items) {
                auto ref = add(item, depth + 1);
                if (!ref) return false;
                refs.push_back(*ref);
            }
            return true;
        };
        bool ok = true;
        if (const ValueArray* array = value.arrayPtr()) {
            ok = addAll(*array);
        } else if (const ValueSet* set = value.setPtr()) {
            type = 0xC0;
            ok = addAll(set->items());
        } else {
            type = 0xD0;
            const ValueDictionary& dictionary = *value.dictionaryPtr();
            std::vector<std::uint64_t> values;
            for (const auto& [key, item] : dictionary) {
                auto keyRef = add(Value(key), depth + 1);
                auto itemRef = keyRef ? add(item, depth + 1) : std::nullopt;
                if (!itemRef) {
                    ok = false;
                    break;
                }
                refs.push_back(*keyRef);
                values.push_back(*itemRef);
            }
            refs.insert(refs.end(), values.begin(), values.end());
        }
        open_.erase(value.identity());
        if (!ok) return std::nullopt;
        objects_[index].containerType = type;
        objects_[index].refs = std::move(refs);
        return index;
    }

    Bytes serialise() const {
        std::uint64_t count = objects_.size();
        int refSize = bytesFor(count);
        std::string out = "bplist00";
        std::vector<std::uint64_t> offsets;
        offsets.reserve(count);
        for (const Object& object : objects_) {
            offsets.push_back(out.size());
            if (!object.containerType) {
                out += object.scalar;
                continue;
            }
            std::uint64_t size = object.containerType == 0xD0 ? object.refs.size() / 2 : object.refs.size();
            appendMarker(out, object.containerType, size);
            for (std::uint64_t ref : object.refs) appendBigEndian(out, ref, refSize);
        }
        std::uint64_t tableOffset = out.size();
        int offsetSize = bytesFor(tableOffset);
        for (std::uint64_t offset : offsets) appendBigEndian(out, offset, offsetSize);
        out.append(6, '\0');
        out += static_cast<char>(offsetSize);
        out += static_cast<char>(refSize);
        appendBigEndian(out, count, 8);
        appendBigEndian(out, 0, 8);  // the root is the first object
        appendBigEndian(out, tableOffset, 8);
        return Bytes(out.begin(), out.end());
    }

    UIDs uids_;
    std::vector<Object> objects_;
    std::map<std::string, std::uint64_t> scalars_;
    std::set<const void*> open_;
    std::string error_;
};

}  // namespace

bool isUIDDictionary(const Value& value) {
    const ValueDictionary* dictionary = value.dictionaryPtr();
    return dictionary && dictionary->size() == 1 && dictionary->get("CF$UID").isInteger() &&
           !(dictionary->get("CF$UID").kind() == Value::Kind::Int && dictionary->get("CF$UID").integerValue() < 0);
}

Result<Bytes> encodeBinaryPlist(const Value& root, UIDs uids) {
    return Writer(uids).write(root);
}

}  // namespace storage_detail
