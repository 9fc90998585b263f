// Builds binary property lists object by object, so that tests can make files no sound writer
// would: an object named many times, huge sets, references that unfold. References and offsets
// are four bytes wide.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/runtime/value.h"

class BinaryPlistBuilder {
public:
    std::uint32_t string(const std::string& ascii) {
        Bytes object = header(0x50, ascii.size());
        object.insert(object.end(), ascii.begin(), ascii.end());
        return add(std::move(object));
    }
    std::uint32_t integer(std::uint32_t value) {
        Bytes object{0x12};
        appendBigEndian(object, value, 4);
        return add(std::move(object));
    }
    // A keyed archive's object reference (four bytes).
    std::uint32_t uid(std::uint32_t value) {
        Bytes object{0x83};
        appendBigEndian(object, value, 4);
        return add(std::move(object));
    }
    // 0xA array, 0xC set, 0xD dictionary (keys first, then values).
    std::uint32_t container(std::uint8_t type, const std::vector<std::uint32_t>& refs) {
        std::size_t count = type == 0xD ? refs.size() / 2 : refs.size();
        Bytes object = header(static_cast<std::uint8_t>(type << 4), count);
        for (std::uint32_t ref : refs) appendBigEndian(object, ref, 4);
        return add(std::move(object));
    }

    Bytes build(std::uint32_t top) const {
        Bytes out{'b', 'p', 'l', 'i', 's', 't', '0', '0'};
        std::vector<std::uint64_t> offsets;
        for (const Bytes& object : objects_) {
            offsets.push_back(out.size());
            out.insert(out.end(), object.begin(), object.end());
        }
        std::uint64_t table = out.size();
        for (std::uint64_t offset : offsets) appendBigEndian(out, offset, 4);
        out.insert(out.end(), 6, 0);
        out.push_back(4);  // offset size
        out.push_back(4);  // reference size
        appendBigEndian(out, objects_.size(), 8);
        appendBigEndian(out, top, 8);
        appendBigEndian(out, table, 8);
        return out;
    }

private:
    static void appendBigEndian(Bytes& out, std::uint64_t value, int bytes) {
        for (int k = bytes - 1; k >= 0; --k) out.push_back(static_cast<std::uint8_t>(value >> (8 * k)));
    }
    static Bytes header(std::uint8_t marker, std::size_t count) {
        if (count < 15) return Bytes{static_cast<std::uint8_t>(marker | count)};
        Bytes out{static_cast<std::uint8_t>(marker | 0x0F), 0x12};
        appendBigEndian(out, count, 4);
        return out;
    }
    std::uint32_t add(Bytes object) {
        objects_.push_back(std::move(object));
        return static_cast<std::uint32_t>(objects_.size() - 1);
    }

    std::vector<Bytes> objects_;
};

// One long string, named a thousand times by an array that a second array names a thousand
// times: a few hundred kilobytes that would unfold into a hundred gigabytes.
inline Bytes unfoldingPropertyList() {
    BinaryPlistBuilder b;
    std::uint32_t text = b.string(std::string(100000, 'x'));
    std::uint32_t inner = b.container(0xA, std::vector<std::uint32_t>(1000, text));
    return b.build(b.container(0xA, std::vector<std::uint32_t>(1000, inner)));
}
