// Compares long texts (file and reply bodies) without printing them: a failure names the sizes
// and the first differing offset.
#pragma once

#include <gtest/gtest.h>

#include <string>

inline ::testing::AssertionResult sameText(const std::string& a, const std::string& b) {
    if (a == b) return ::testing::AssertionSuccess();
    std::size_t i = 0;
    while (i < a.size() && i < b.size() && a[i] == b[i]) ++i;
    return ::testing::AssertionFailure() << "sizes " << a.size() << " and " << b.size() << ", first difference at "
                                         << i;
}
