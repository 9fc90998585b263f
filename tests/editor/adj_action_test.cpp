// The editor kind of a record picks its editor through one fixed table.
#include "editor/adjust/adj_action.h"

#include <gtest/gtest.h>

#include <cstdint>

TEST(AdjAction, EveryKindMapsToItsEditorAndOthersToNone) {
    // Kinds 1..26, then a few outside the range.
    const int expected[] = {4, 1, 6, 2, 3, 1, 0, 7, 7, 1, 7, 7, 7, 9, 9, 9, 9, 9, 9, 16, 13, 0, 0, 12, 11, 10};
    for (int kind = 1; kind <= 26; ++kind)
        EXPECT_EQ(static_cast<int>(adjActionForKind(kind)), expected[kind - 1]) << "kind " << kind;
    for (std::int64_t kind : std::initializer_list<std::int64_t>{0, 27, -1, 1000, INT64_MIN, INT64_MAX})
        EXPECT_EQ(adjActionForKind(kind), AdjAction::None) << "kind " << kind;
    EXPECT_EQ(adjActionFromNumber(17), AdjAction::None);
    EXPECT_EQ(adjActionFromNumber(-3), AdjAction::None);
    EXPECT_EQ(adjActionFromNumber(15), AdjAction::ColorCube2);
}
