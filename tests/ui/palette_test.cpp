// The palette: appearance-dependent roles in light and dark and on an older system, the fixed
// roles, the tags that the theme colours follow, and the colour operations.
#include <gtest/gtest.h>

#include "platform/runtime/random.h"
#include "tests/ui/ui_test_support.h"
#include "ui/theme/color.h"
#include "ui/theme/color_custom.h"
#include "widgets/flat/flat_palette.h"

namespace {

struct Palette : ToolkitTest {
    std::shared_ptr<Color> color() { return global()->color(); }
    static CGColor resolved(const ColorRef& c, UIUserInterfaceStyle style) {
        UITraitCollection traits;
        traits.userInterfaceStyle = style;
        return c->resolvedColorWithTraitCollection(traits)->cgColor();
    }
    void olderSystem() {
        SystemServices::shared()->setSystem("iOS", "12.4");
        global()->setDevice(nullptr);
    }
};

TEST_F(Palette, LightAndDarkRoles) {
    auto c = color();
    EXPECT_EQ(c->labelSecondary()->cgColor(), CGColor::rgb(1.0 / 3, 1.0 / 3, 1.0 / 3)) << "light: dark gray";
    EXPECT_EQ(c->backgroundPopDefault()->cgColor(), CGColor::rgb(1, 1, 1));
    EXPECT_EQ(c->labelLightGray()->cgColor(), CGColor::rgb(2.0 / 3, 2.0 / 3, 2.0 / 3));
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Dark);
    EXPECT_EQ(c->backgroundPopDefault()->cgColor(), CGColor::rgb(0.4, 0.4, 0.4, 1)) << "an opaque grey";
    EXPECT_EQ(c->labelSecondary()->cgColor(), UIColor::secondaryLabelColor()->cgColor());
    EXPECT_EQ(c->labelLightGray()->cgColor(), CGColor::rgb(1.0 / 3, 1.0 / 3, 1.0 / 3));
    EXPECT_EQ(resolved(c->labelDefault(), UIUserInterfaceStyle::Dark),
              resolved(UIColor::labelColor(), UIUserInterfaceStyle::Dark));
    // The inverted pair follow each other.
    EXPECT_EQ(c->labelInvertDefault()->cgColor(), c->backgroundDefault()->cgColor());
    EXPECT_EQ(c->backgroundInvertDefault()->cgColor(), c->labelDefault()->cgColor());
}

TEST_F(Palette, AnOlderSystemGetsTheFixedFallbacks) {
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Dark);
    olderSystem();
    auto c = color();
    EXPECT_EQ(c->labelDefault()->cgColor(), CGColor::rgb(0, 0, 0));
    EXPECT_EQ(c->backgroundDefault()->cgColor(), CGColor::rgb(1, 1, 1));
    EXPECT_EQ(colorCode(*c->systemGray4()), 0xFFD1D1D6u);
    EXPECT_EQ(colorCode(*c->indigo()), 0xFF4B0082u);
    EXPECT_EQ(c->backgroundPopDefault()->cgColor(), CGColor::rgb(1, 1, 1)) << "no dark mode before it";
}

TEST_F(Palette, FixedRolesAreKeptAndFourComponentColours) {
    auto c = color();
    EXPECT_EQ(c->tip(), c->tip());
    EXPECT_EQ(colorCode(*c->tip()), 0xFF00AAEAu);
    EXPECT_EQ(colorCode(*c->btnSelectedFG()), 0x80000000u);
    EXPECT_EQ(colorCode(*c->btnNormalBG()), 0x33000000u);
    EXPECT_EQ(c->inputBorder0()->cgColor().red, flatWhiteColor()->cgColor().red);
    for (auto role : {ColorRole::btnSelectedFG, ColorRole::ago, ColorRole::textTitle, ColorRole::tutorialfg,
                      ColorRole::barButton, ColorRole::attributes}) {
        EXPECT_EQ(c->color(role)->cgColor().numberOfComponents(), 4u) << static_cast<int>(role);
    }
    EXPECT_EQ(c->tags().size(), 9u);
    EXPECT_EQ(c->theme0(), c->tags()[6]);
    EXPECT_EQ(colorCode(*c->theme0()), 0xFF82A8D5u);
    EXPECT_EQ(colorCode(*c->attributes()), 0xB382A8D5u);
    screen->setUserInterfaceStyle(UIUserInterfaceStyle::Dark);
    EXPECT_EQ(colorCode(*c->tip()), 0xFF00AAEAu) << "kept through a change of appearance";
    auto old = c->tip();
    global()->reset();
    EXPECT_NE(color()->tip(), old);
}

TEST_F(Palette, ThemeColoursFollowTagsSetBeforeFirstAccess) {
    auto c = color();
    std::vector<ColorRef> tags(9, UIColor::colorWithRed(0, 0, 0, 1));
    tags[6] = UIColor::colorWithRed(1, 0, 0, 1);
    c->setTags(tags);
    EXPECT_EQ(colorCode(*c->theme0()), 0xFFFF0000u);
    EXPECT_EQ(colorCode(*c->attributes()), 0xB3FF0000u);
}

TEST_F(Palette, ColourOperations) {
    EXPECT_EQ(colorCode(*UIColor::whiteColor()), 0xFFFFFFFFu) << "a grey colour converts";
    EXPECT_EQ(colorCode(*UIColor::colorWithRed(1, 0, 0, 1)), 0xFFFF0000u);
    EXPECT_EQ(colorCode(*UIColor::colorWithPatternImage(nullptr)), 0u);
    EXPECT_EQ(colorCode(*invert(*UIColor::whiteColor())), 0xFF000000u) << "alpha is never inverted";
    EXPECT_EQ(colorCode(*invert(*UIColor::colorWithRed(0.2, 0.4, 0.6, 0.5))), 0x80CC9966u);
    EXPECT_EQ(colorCode(*setAlpha(*UIColor::colorWithWhite(1, 1), 0.5f)), 0x80FFFFFFu);
    EXPECT_EQ(array(*UIColor::colorWithWhite(0.5, 0.25)), (std::array<CGFloat, 4>{0.5, 0.5, 0.5, 0.25}));
    EXPECT_EQ(colorCode(*colorWithUCharRed(1, 2, 3, 4)), 0x04010203u);

    std::vector<std::uint32_t> draws = {10, 20, 30};
    std::size_t next = 0;
    ScopedRandomSource source([&] { return draws[next++ % draws.size()]; });
    EXPECT_EQ(colorCode(*randomColor()), 0xFF0A141Eu) << "red, green, blue in draw order";
}

}  // namespace
