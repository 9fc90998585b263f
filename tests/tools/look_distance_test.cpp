// The looks of each filter menu stay visibly apart over the contact sheet's scene, as rendered by
// the application itself.
#include "tools/contact_sheet/look_distance.h"

#include <gtest/gtest.h>

#include "filter/filter_preset.h"

TEST(LookDistance, EveryMenuKeepsItsLooksTwelveLevelsApart) {
    auto pairs = closestLooksPerMenu(240);
    ASSERT_EQ(pairs.size(), FilterPreset::menuLabels().size());
    for (std::size_t m = 0; m < pairs.size(); ++m) {
        EXPECT_FALSE(pairs[m].first.empty()) << FilterPreset::menuLabels()[m];
        EXPECT_GE(pairs[m].rms, 12.0) << FilterPreset::menuLabels()[m] << ": " << pairs[m].first << " / "
                                      << pairs[m].second;
    }
}

TEST(LookDistance, ALookRepeatedIsNoDistanceAndTooFewLooksAreNoPair) {
    auto preset = FilterPreset::make();
    const Value& menu = preset->menu(0);
    ASSERT_GE(menu.count(), 2u);
    const Value &first = menu[std::size_t{0}], &second = menu[std::size_t{1}];
    LookPair same = closestLooks({first, second, first}, 64);
    EXPECT_EQ(same.rms, 0);
    EXPECT_EQ(same.first, same.second);
    LookPair apart = closestLooks({first, second}, 64);
    EXPECT_GT(apart.rms, 0);
    EXPECT_TRUE(closestLooks({first}, 64).first.empty());
}
