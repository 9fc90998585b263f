#include "filter/color_table.h"

#include <cstring>

#include "foundation/array_free_core_image.h"

namespace {

constexpr std::size_t kEntryBytes = 4 * sizeof(float);

std::array<float, 4> packedEntry(const Bytes& bytes, std::size_t index) {
    std::array<float, 4> rgba{};
    std::memcpy(rgba.data(), bytes.data() + index * kEntryBytes, kEntryBytes);
    return rgba;
}

Value floatsValue(const std::array<float, 4>& rgba) {
    return Value(ValueArray{Value(rgba[0]), Value(rgba[1]), Value(rgba[2]), Value(rgba[3])});
}

}  // namespace

Value packedColorTable(const std::vector<std::array<float, 4>>& entries) {
    Bytes bytes(entries.size() * kEntryBytes);
    if (!entries.empty()) std::memcpy(bytes.data(), entries.data(), bytes.size());
    return Value::data(std::move(bytes));
}

bool isPackedColorTable(const Value& table) {
    const Bytes* bytes = table.bytes();
    return bytes && !bytes->empty() && bytes->size() % kEntryBytes == 0;
}

std::size_t colorTableCount(const Value& table) {
    if (const ValueArray* entries = table.arrayPtr()) return entries->size();
    return isPackedColorTable(table) ? table.bytes()->size() / kEntryBytes : 0;
}

Value colorTableEntry(const Value& table, std::size_t index) {
    if (index >= colorTableCount(table)) return {};
    if (const ValueArray* entries = table.arrayPtr()) return (*entries)[index];
    return floatsValue(packedEntry(*table.bytes(), index));
}

std::optional<ValueArray> colorTableEntries(const Value& table) {
    if (const ValueArray* entries = table.arrayPtr()) return *entries;
    if (!isPackedColorTable(table)) return std::nullopt;
    const Bytes& bytes = *table.bytes();
    ValueArray out;
    out.reserve(bytes.size() / kEntryBytes);
    for (std::size_t i = 0; i < bytes.size() / kEntryBytes; ++i) out.push_back(floatsValue(packedEntry(bytes, i)));
    return out;
}

Value colorTableData(const Value& table) {
    if (const ValueArray* entries = table.arrayPtr()) {
        auto data = nsdata_colorArray(*entries);
        return data ? Value::data(std::move(*data)) : Value();
    }
    const std::size_t count = colorTableCount(table);
    const std::size_t n = colorCubeDimension(count);
    if (n == 0) return {};
    if (n * n * n == count) return table;
    const Bytes& bytes = *table.bytes();
    return Value::data(Bytes(bytes.begin(), bytes.begin() + static_cast<long>(n * n * n * kEntryBytes)));
}
