// The preset catalogue: menu order and names from the shipped curve files, kept lists, missing
// files skipped with the others keeping their numbers, and the generic sources.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "filter/color_spaces.h"
#include "filter/filter_preset.h"
#include "foundation/global.h"
#include "platform/image/ci_filter_keys.h"
#include "platform/storage/bundle.h"

TEST(FilterPresets, MenusListTheirLooksInSortedOrder) {
    auto preset = FilterPreset::make();
    const Value& warm = preset->descYellow();
    ASSERT_EQ(warm.count(), 8u);
    EXPECT_EQ(warm[0ul]["disp"].stringValue(), "WARM 1");
    EXPECT_EQ(warm[7]["disp"].stringValue(), "WARM 8");
    EXPECT_EQ(preset->descBnW().count(), 9u);
    EXPECT_EQ(preset->descMagenta().count(), 15u);
    EXPECT_EQ(preset->descCyan().count(), 9u);
    EXPECT_EQ(preset->descMagenta()[14]["disp"].stringValue(), "MAGENTA 15");
    EXPECT_EQ(&preset->menu(1), &preset->descYellow());
    EXPECT_EQ(FilterPreset::menuLabels(), (std::vector<std::string>{"BRIGHT", "WARM", "MAGENTA", "CYAN"}));
    EXPECT_EQ(FilterPreset::presetKey(2, 5), "2-5");

    // The getter keeps its list; a set list is returned as set.
    EXPECT_EQ(preset->descYellow().identity(), warm.identity());
    preset->setDescCyan(Value::array({Value(1)}));
    EXPECT_EQ(preset->descCyan().count(), 1u);

    const Value& yellow2 = preset->descYellow2();
    EXPECT_EQ(yellow2.count(), 71u);
    EXPECT_EQ(yellow2[0ul]["disp"].stringValue(), "Agfa 1");
    EXPECT_EQ(preset->descCyan2()[0ul]["disp"].stringValue(), "1977");
}

TEST(FilterPresets, GroupsSkipMissingFilesAndKeepSortedNumbers) {
    // "humming bees" sorts before "hummingbirds"; a missing file leaves a gap in the numbers.
    Value group = FilterPreset::descsFromCurves({"hummingbirds", "Blue Missing", "humming bees", "ambers"}, "M %ld");
    ASSERT_EQ(group.count(), 3u);
    EXPECT_EQ(group[0ul]["disp"].stringValue(), "M 1");  // ambers
    EXPECT_EQ(group[1]["disp"].stringValue(), "M 3");    // humming bees, after the missing file
    EXPECT_EQ(group[2]["disp"].stringValue(), "M 4");    // hummingbirds
}

TEST(FilterPresets, CodeListsAndGenericSources) {
    auto preset = FilterPreset::make();
    EXPECT_EQ(preset->descAdjustment().count(), 16u);
    EXPECT_EQ(preset->descAdjustment()[15]["name"].stringValue(), "CIXRay");
    EXPECT_EQ(preset->descFace().count(), 3u);
    EXPECT_EQ(preset->descFace()[2]["value"]["inputGradientImage"]["value"]["name"].stringValue(), "CICrop");
    const Value& flip = preset->descFlipRotate();
    ASSERT_EQ(flip.count(), 4u);
    EXPECT_EQ(flip[0ul]["disp"].stringValue(), "\xEF\x81\xBE \xEF\x81\xBD \xEF\x83\xA2 \xEF\x80\x9E");

    EXPECT_EQ(FilterPresetBase::descFromCategory("NoSuchCategory").count(), 0u);
    Value colour = FilterPresetBase::descFromCategory(kCICategoryColorAdjustment);
    EXPECT_GT(colour.count(), 0u);
    EXPECT_TRUE(colour[0ul]["name"].isString());

    std::random_device random;
    auto root = std::filesystem::temp_directory_path() / ("korva-filter-bundle-" + std::to_string(random()));
    std::filesystem::create_directories(root);
    std::ofstream(root / "list.json") << R"([{"name": "CIVignette"}])";
    std::ofstream(root / "object.json") << R"({"name": "CIVignette"})";
    NSBundle::setMainBundleRoot(root.string());
    EXPECT_EQ(FilterPresetBase::descsFromBundle("list", "json").count(), 1u);
    EXPECT_TRUE(FilterPresetBase::descsFromBundle("object", "json").isNull());
    EXPECT_TRUE(FilterPresetBase::descsFromBundle("missing", "json").isNull());
    NSBundle::setMainBundleRoot("");
    std::filesystem::remove_all(root);
}

TEST(FilterPresets, GlobalMakesTheCatalogueOnceRegistered) {
    registerFilterServices();
    Global::resetSharedForTesting();
    auto global = Global::shared();
    auto catalogue = global->filterPreset();
    ASSERT_NE(catalogue, nullptr);
    EXPECT_EQ(global->filterPreset(), catalogue);
    ASSERT_NE(global->colorSpaces(), nullptr);
    EXPECT_EQ(global->colorSpaces()->dict()["Default"].stringValue(), "kCGColorSpaceNULL");
    Global::resetSharedForTesting();
}
