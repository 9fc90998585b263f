// Helpers for the storage tests: a temporary folder and a kind-strict comparison of values.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "platform/runtime/value.h"

// Index 0 as a non-literal, since a literal 0 could also be a key pointer.
inline constexpr std::size_t kFirst = 0;

class TempFolder {
public:
    TempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "korva-storage-XXXXXX").string();
        path_ = ::mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all, error);
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Value equality says 1 == 1.0 == YES; these tests need the kinds to match as well.
inline ::testing::AssertionResult sameKindsAndValues(const Value& a, const Value& b,
                                                     const std::string& where = "root") {
    if (a.kind() != b.kind()) {
        return ::testing::AssertionFailure()
               << where << ": " << valueKindName(a.kind()) << " vs " << valueKindName(b.kind());
    }
    if (a.isArray()) {
        if (a.count() != b.count()) return ::testing::AssertionFailure() << where << ": array sizes differ";
        for (std::size_t i = 0; i < a.count(); ++i) {
            auto r = sameKindsAndValues(a[i], b[i], where + "[" + std::to_string(i) + "]");
            if (!r) return r;
        }
        return ::testing::AssertionSuccess();
    }
    if (a.isDictionary()) {
        if (a.count() != b.count()) return ::testing::AssertionFailure() << where << ": dictionary sizes differ";
        for (const auto& [key, value] : *a.dictionaryPtr()) {
            auto r = sameKindsAndValues(value, b[key], where + "." + key);
            if (!r) return r;
        }
        return ::testing::AssertionSuccess();
    }
    if (!a.isEqual(b)) {
        return ::testing::AssertionFailure() << where << ": " << a.description() << " vs " << b.description();
    }
    return ::testing::AssertionSuccess();
}

// One of every kind a property list can hold, with the awkward edges of each.
inline Value samplePropertyList() {
    ValueDictionary nested{{"empty array", Value(ValueArray{})}, {"empty dictionary", Value(ValueDictionary{})}};
    ValueArray many;
    for (int i = 0; i < 40; ++i) many.push_back(Value(i * 1000));
    return Value(ValueDictionary{
        {"yes", Value(true)},
        {"no", Value(false)},
        {"zero", Value(0)},
        {"negative", Value(-5)},
        {"large", Value(1LL << 40)},
        {"minimum", Value(INT64_MIN)},
        {"above signed range", Value(~0ull)},
        {"double", Value(0.1)},
        {"whole double", Value(2.0)},
        {"text", Value("plain")},
        {"unicode", Value("Näkymä 📷 ∑")},
        {"escapes", Value("<a & b> \"q\" \t\n")},
        {"empty text", Value("")},
        {"data", Value::data(Bytes{0, 1, 2, 250, 255})},
        {"date", Value::date(-86400.0 * 365 + 17)},
        {"many", Value(std::move(many))},
        {"nested", Value(std::move(nested))},
    });
}
