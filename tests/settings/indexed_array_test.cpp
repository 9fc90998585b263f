// Sectioning a flat list.
#include "settings/indexed_array.h"

#include <gtest/gtest.h>

namespace {

using Strings = std::vector<std::string>;
using Longs = std::vector<long>;

struct Case {
    const char* name;
    Strings rows;
    std::size_t top;
    long indexNameLength;
    Strings sections;
    std::optional<Strings> titles;
    Longs positions;
    Longs counts;
};

}  // namespace

TEST(IndexedArrayTest, Sectioning) {
    const Strings kkmppp = {"k", "k", "m", "p", "p", "p"};
    const std::vector<Case> cases = {
        {"empty", {}, 0, -1, {}, std::nullopt, {}, {}},
        {"runs", kkmppp, 0, -1, {"k", "m", "p"}, Strings{"k", "m", "p"}, {0, 2, 3}, {2, 1, 3}},
        {"top section", kkmppp, 2, -1, {"-", "m", "p"}, Strings{"-", "m", "p"}, {0, 2, 3}, {2, 1, 3}},
        {"top longer than list", {"a", "b"}, 3, -1, {}, std::nullopt, {}, {}},
        {"top equal to list", {"a", "b"}, 2, -1, {"-"}, Strings{"-"}, {0}, {2}},
        {"unsorted", {"k", "m", "k"}, 0, -1, {"k", "m", "k"}, Strings{"k", "m", "k"}, {0, 1, 2}, {1, 1, 1}},
        {"no index titles", kkmppp, 0, 0, {"k", "m", "p"}, std::nullopt, {0, 2, 3}, {2, 1, 3}},
        {"index titles cut", {"abc", "b"}, 0, 1, {"abc", "b"}, Strings{"a", "b"}, {0, 1}, {1, 1}},
        {"cut counts characters", {"äöü", "日本語"}, 0, 2, {"äöü", "日本語"}, Strings{"äö", "日本"}, {0, 1}, {1, 1}},
        {"top keeps its title without others",
         {"a", "b", "c"},
         1,
         0,
         {"-", "b", "c"},
         Strings{"-"},
         {0, 1, 2},
         {1, 1, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto indexed = IndexedArray::make();
        indexed->update(
            c.rows.size(), c.top, [&c](std::size_t i) { return c.rows[i]; }, c.indexNameLength);
        EXPECT_EQ(indexed->arrSectionName(), c.sections);
        EXPECT_EQ(indexed->getIndexTitles(), c.titles);
        EXPECT_EQ(indexed->arrIndexPosition(), c.positions);
        EXPECT_EQ(indexed->arrSectionRowCount(), c.counts);
        EXPECT_EQ(indexed->getSectionCount(), long(c.sections.size()));
    }
}

TEST(IndexedArrayTest, QueriesAndOutOfRangeIndexes) {
    const Strings rows = {"k", "k", "m", "p", "p", "p"};
    auto indexed = IndexedArray::make();
    int asked = 0;
    indexed->update(
        rows.size(), 0, [&](std::size_t i) { return rows[i]; },
        [&](std::size_t i) -> std::optional<std::string> {
            ++asked;
            return rows[i] + std::to_string(i);
        });
    EXPECT_EQ(asked, 6);
    // Only a section's first row names its index title.
    EXPECT_EQ(indexed->getIndexTitles(), (Strings{"k0", "m2", "p3"}));

    EXPECT_EQ(indexed->getIndexPath(4), NSIndexPath::indexPathForRow(1, 2));
    EXPECT_EQ(indexed->getIndexPath(0), NSIndexPath::indexPathForRow(0, 0));
    EXPECT_EQ(indexed->getIndexPath(5), NSIndexPath::indexPathForRow(2, 2));
    EXPECT_EQ(indexed->getIndex(2, 1), 4);
    EXPECT_EQ(indexed->getRowCount(1), 1);
    EXPECT_EQ(indexed->getSectionTitle(2), "p");

    struct OutOfRange {
        long section;
        long index;
    };
    for (OutOfRange bad : {OutOfRange{3, 6}, {-1, -1}, {100, 1000}, {-7, -6}}) {
        SCOPED_TRACE(bad.section);
        EXPECT_EQ(indexed->getRowCount(bad.section), 0);
        EXPECT_EQ(indexed->getSectionTitle(bad.section), std::nullopt);
        EXPECT_EQ(indexed->getIndex(bad.section, 1), 0);
        EXPECT_EQ(indexed->getIndexPath(bad.index), std::nullopt);
    }

    // An update replaces everything.
    indexed->update(0, [](std::size_t) { return std::string(); });
    EXPECT_EQ(indexed->getSectionCount(), 0);
    EXPECT_EQ(indexed->getIndexTitles(), std::nullopt);
    EXPECT_EQ(indexed->getIndexPath(0), std::nullopt);
}
