// Comparison of version-like strings where runs of digits compare as numbers ("1.10" after
// "1.9", "2" before "10"); everything else compares character by character.
#pragma once

#include <cctype>
#include <string_view>

// -1, 0 or 1, as the first string orders before, with or after the second.
inline int compareNumeric(std::string_view a, std::string_view b) {
    std::size_t i = 0, j = 0;
    auto digit = [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; };
    while (i < a.size() && j < b.size()) {
        if (digit(a[i]) && digit(b[j])) {
            while (i < a.size() && a[i] == '0') ++i;  // leading zeros do not count
            while (j < b.size() && b[j] == '0') ++j;
            std::size_t si = i, sj = j;
            while (i < a.size() && digit(a[i])) ++i;
            while (j < b.size() && digit(b[j])) ++j;
            std::string_view na = a.substr(si, i - si), nb = b.substr(sj, j - sj);
            if (na.size() != nb.size()) return na.size() < nb.size() ? -1 : 1;
            if (int c = na.compare(nb); c != 0) return c < 0 ? -1 : 1;
            continue;
        }
        if (a[i] != b[j]) return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]) ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}
