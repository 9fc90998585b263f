// Binary property-list reader. Every offset, count and reference is checked against the data,
// so a truncated or damaged file gives a failure rather than a read out of bounds.
#include <bit>
#include <cstring>
#include <optional>
#include <unordered_set>

#include "platform/storage/plist_codec.h"
#include "platform/storage/unicode.h"

namespace storage_detail {
namespace {

// Guards against files whose shared objects would unfold into an enormous tree: a reference
// may name one object many times. A scalar (writers store each one once) is decoded once and
// shared, since it cannot change; a container is decoded afresh for every use. The decoded size
// (every use of an object counted with a fixed overhead, every scalar's bytes once, and every
// dictionary entry with its bookkeeping and its key's bytes twice, since a dictionary keeps its
// own two copies of each key) may not pass a base allowance plus a multiple of the file's size.
constexpr std::uint64_t kMaxElements = 1u << 22;
constexpr std::uint64_t kObjectWeight = 16;
constexpr std::uint64_t kEntryWeight = 64;
constexpr std::uint64_t kBaseDecodedSize = 1u << 20;
constexpr std::uint64_t kDecodedSizePerFileByte = 32;

class Reader {
public:
    explicit Reader(const Bytes& data) : data_(data.data()), size_(data.size()) {}

    Result<Value> read() {
        if (size_ < 8 + 32 || std::memcmp(data_, "bplist00", 8) != 0) return fail("not a binary property list");
        const std::uint8_t* trailer = data_ + size_ - 32;
        offsetSize_ = trailer[6];
        refSize_ = trailer[7];
        count_ = bigEndian(trailer + 8, 8);
        std::uint64_t top = bigEndian(trailer + 16, 8);
        tableOffset_ = bigEndian(trailer + 24, 8);
        limit_ = size_ - 32;
        if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8 || count_ == 0 || top >= count_ ||
            tableOffset_ < 8 || tableOffset_ > limit_ || count_ > (limit_ - tableOffset_) / offsetSize_) {
            return fail("damaged binary property list trailer");
        }
        decodedLimit_ = kBaseDecodedSize + kDecodedSizePerFileByte * size_;
        state_.assign(count_, 0);
        scalars_.assign(count_, std::nullopt);
        auto root = object(top, 0);
        if (!root) return fail("damaged binary property list: " + error_);
        return std::move(*root);
    }

private:
    static std::uint64_t bigEndian(const std::uint8_t* p, int bytes) {
        std::uint64_t value = 0;
        for (int k = 0; k < bytes; ++k) value = (value << 8) | p[k];
        return value;
    }

    std::nullopt_t bad(const char* message) {
        if (error_.empty()) error_ = message;
        return std::nullopt;
    }

    // True when `bytes` bytes starting at `offset` lie inside the object area.
    bool inside(std::uint64_t offset, std::uint64_t bytes) const {
        return offset <= limit_ && bytes <= limit_ - offset;
    }

    // The element count after a marker whose low nibble is `nibble`; advances `pos`.
    std::optional<std::uint64_t> count(std::uint8_t nibble, std::uint64_t& pos) {
        if (nibble != 0x0F) return nibble;
        if (!inside(pos, 1)) return bad("count beyond the end");
        std::uint8_t marker = data_[pos];
        if ((marker & 0xF0) != 0x10 || (marker & 0x0F) > 3) return bad("malformed count");
        int bytes = 1 << (marker & 0x0F);
        if (!inside(pos + 1, bytes)) return bad("count beyond the end");
        std::uint64_t value = bigEndian(data_ + pos + 1, bytes);
        pos += 1 + bytes;
        return value;
    }

    // Counts decoded bytes against the file's allowance; false once it is spent.
    bool spend(std::uint64_t bytes) {
        decoded_ += bytes;
        return decoded_ <= decodedLimit_;
    }

    std::optional<Value> object(std::uint64_t index, int depth) {
        if (index >= count_) return bad("reference out of range");
        if (!spend(kObjectWeight)) return bad("decodes to far more than the file holds");
        if (const std::optional<Value>& known = scalars_[index]) return *known;
        auto value = decode(index, depth);
        if (value && !value->isArray() && !value->isDictionary() && !value->isSet()) scalars_[index] = *value;
        return value;
    }

    std::optional<Value> decode(std::uint64_t index, int depth) {
        if (depth > kMaxPlistDepth) return bad("nested too deeply");
        if (state_[index] == 1) return bad("a container contains itself");
        std::uint64_t pos = bigEndian(data_ + tableOffset_ + index * offsetSize_, offsetSize_);
        if (pos < 8 || !inside(pos, 1)) return bad("object offset out of range");
        std::uint8_t marker = data_[pos++];
        std::uint8_t nibble = marker & 0x0F;
        switch (marker >> 4) {
            case 0x0:
                if (marker == 0x08) return Value(false);
                if (marker == 0x09) return Value(true);
                return bad("null and fill objects have no value");
            case 0x1: return integer(nibble, pos);
            case 0x2: {
                if (nibble == 2 && inside(pos, 4))
                    return Value(std::bit_cast<float>(static_cast<std::uint32_t>(bigEndian(data_ + pos, 4))));
                if (nibble == 3 && inside(pos, 8)) return Value(std::bit_cast<double>(bigEndian(data_ + pos, 8)));
                return bad("malformed real");
            }
            case 0x3:
                if (marker == 0x33 && inside(pos, 8))
                    return Value::date(std::bit_cast<double>(bigEndian(data_ + pos, 8)));
                return bad("malformed date");
            case 0x4: {
                auto n = count(nibble, pos);
                if (!n || !inside(pos, *n)) return bad("data beyond the end");
                if (!spend(*n)) return bad("decodes to far more than the file holds");
                return Value::data(Bytes(data_ + pos, data_ + pos + *n));
            }
            case 0x5:
            case 0x6:
            case 0x7: {
                auto text = string(marker, pos);
                if (!text) return std::nullopt;
                return Value(std::move(*text));
            }
            case 0x8: {
                int bytes = nibble + 1;
                if (bytes > 8 || !inside(pos, bytes)) return bad("malformed UID");
                std::uint64_t uid = bigEndian(data_ + pos, bytes);
                Value number = uid <= static_cast<std::uint64_t>(INT64_MAX)
                                   ? Value(static_cast<long long>(uid))
                                   : Value(static_cast<unsigned long long>(uid));
                return Value(ValueDictionary{{"CF$UID", number}});
            }
            case 0xA:
            case 0xC:
            case 0xD: {
                state_[index] = 1;
                auto container = this->container(marker >> 4, nibble, pos, depth);
                state_[index] = 0;
                return container;
            }
            default: return bad("unknown object type");
        }
    }

    std::optional<Value> integer(std::uint8_t nibble, std::uint64_t pos) {
        if (nibble > 4 || !inside(pos, 1u << nibble)) return bad("malformed integer");
        if (nibble <= 2) return Value(static_cast<long long>(bigEndian(data_ + pos, 1 << nibble)));
        if (nibble == 3) return Value(static_cast<long long>(bigEndian(data_ + pos, 8)));
        std::uint64_t high = bigEndian(data_ + pos, 8);
        std::uint64_t low = bigEndian(data_ + pos + 8, 8);
        if (high == 0) {
            if (low <= static_cast<std::uint64_t>(INT64_MAX)) return Value(static_cast<long long>(low));
            return Value(static_cast<unsigned long long>(low));
        }
        if (high == ~0ull && (low >> 63)) return Value(static_cast<long long>(low));
        return bad("integer out of range");
    }

    std::optional<std::string> string(std::uint8_t marker, std::uint64_t pos) {
        auto n = count(marker & 0x0F, pos);
        if (!n) return std::nullopt;
        int unit = (marker >> 4) == 0x6 ? 2 : 1;
        if (*n > limit_ / unit || !inside(pos, *n * unit)) return bad("string beyond the end");
        if (!spend(*n * unit)) return bad("decodes to far more than the file holds");
        const std::uint8_t* p = data_ + pos;
        std::string text;
        if ((marker >> 4) == 0x5) {
            // Meant to be ASCII; bytes above 0x7F are taken as Latin-1 rather than refused.
            for (std::uint64_t k = 0; k < *n; ++k) appendUtf8(text, p[k]);
        } else if ((marker >> 4) == 0x6) {
            std::u16string units(*n, u'\0');
            for (std::uint64_t k = 0; k < *n; ++k) units[k] = static_cast<char16_t>((p[2 * k] << 8) | p[2 * k + 1]);
            text = utf16ToUtf8(units);
        } else {
            text.assign(reinterpret_cast<const char*>(p), *n);
            if (!isValidUtf8(text)) return bad("invalid UTF-8 string");
        }
        return text;
    }

    std::optional<Value> container(int type, std::uint8_t nibble, std::uint64_t pos, int depth) {
        auto n = count(nibble, pos);
        if (!n) return std::nullopt;
        std::uint64_t refs = type == 0xD ? 2 * *n : *n;
        if (*n > limit_ || refs > limit_ / refSize_ || !inside(pos, refs * refSize_))
            return bad("container beyond the end");
        elements_ += *n + 1;
        if (elements_ > kMaxElements) return bad("too many elements");
        auto item = [&](std::uint64_t k) { return object(bigEndian(data_ + pos + k * refSize_, refSize_), depth + 1); };
        if (type == 0xA) {
            ValueArray array;
            array.reserve(*n);
            for (std::uint64_t k = 0; k < *n; ++k) {
                auto value = item(k);
                if (!value) return std::nullopt;
                array.push_back(std::move(*value));
            }
            return Value(std::move(array));
        }
        if (type == 0xC) {
            // An object named again adds nothing: each is decoded and inserted once, and hashed
            // once for the whole file however many sets hold it.
            ValueSet set;
            std::unordered_set<std::uint64_t> named;
            for (std::uint64_t k = 0; k < *n; ++k) {
                std::uint64_t ref = bigEndian(data_ + pos + k * refSize_, refSize_);
                if (!named.insert(ref).second) continue;
                auto value = object(ref, depth + 1);
                if (!value) return std::nullopt;
                set.insert(std::move(*value), hashes_);
            }
            return Value(std::move(set));
        }
        ValueDictionary dictionary;
        for (std::uint64_t k = 0; k < *n; ++k) {
            auto key = item(k);
            if (!key) return std::nullopt;
            if (!key->isString()) return bad("dictionary key is not a string");
            if (!spend(kEntryWeight + 2 * key->string()->size())) return bad("decodes to far more than the file holds");
            auto value = item(*n + k);
            if (!value) return std::nullopt;
            dictionary.set(*key->string(), std::move(*value));
        }
        return Value(std::move(dictionary));
    }

    const std::uint8_t* data_;
    std::uint64_t size_;
    int offsetSize_ = 0;
    int refSize_ = 0;
    std::uint64_t count_ = 0;
    std::uint64_t tableOffset_ = 0;
    std::uint64_t limit_ = 0;
    std::uint64_t elements_ = 0;
    std::uint64_t decoded_ = 0;
    std::uint64_t decodedLimit_ = 0;
    std::vector<std::uint8_t> state_;            // 1 while a container is being read, to catch cycles
    std::vector<std::optional<Value>> scalars_;  // decoded scalars, by object index
    ValueHashCache hashes_;                      // what the file's sets have hashed
    std::string error_;
};

}  // namespace

bool looksLikeBinaryPlist(const Bytes& data) {
    return data.size() >= 8 && std::memcmp(data.data(), "bplist00", 8) == 0;
}

Result<Value> decodeBinaryPlist(const Bytes& data) {
    return Reader(data).read();
}

}  // namespace storage_detail
