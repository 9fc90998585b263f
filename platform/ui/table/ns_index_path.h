// A row (or item) in a section: the address of a cell in table and collection views. A value.
#pragma once

#include <compare>
#include <cstddef>
#include <functional>

struct NSIndexPath {
    std::size_t section = 0;
    std::size_t row = 0;

    static NSIndexPath indexPathForRow(std::size_t row, std::size_t section) { return {section, row}; }
    static NSIndexPath indexPathForItem(std::size_t item, std::size_t section) { return {section, item}; }
    std::size_t item() const { return row; }
    auto operator<=>(const NSIndexPath&) const = default;
};

template <>
struct std::hash<NSIndexPath> {
    std::size_t operator()(const NSIndexPath& p) const noexcept { return p.section * 1000003u ^ p.row; }
};
