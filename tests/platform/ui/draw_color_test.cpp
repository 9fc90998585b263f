// Colours: component read-back across models, HSB round trips, dynamic light/dark resolution.
#include <gtest/gtest.h>

#include "platform/ui/draw/color.h"

namespace {

struct TraitScope {
    UITraitCollection saved = UITraitCollection::currentTraitCollection();
    explicit TraitScope(UIUserInterfaceStyle style) {
        UITraitCollection t = saved;
        t.userInterfaceStyle = style;
        UITraitCollection::setCurrentTraitCollection(t);
    }
    ~TraitScope() { UITraitCollection::setCurrentTraitCollection(saved); }
};

TEST(DrawColor, GreyAndRgbReadBack) {
    CGFloat r = -1, g = -1, b = -1, a = -1, w = -1;
    auto gray = UIColor::colorWithWhite(0.25, 0.5);
    ASSERT_TRUE(gray->getRed(&r, &g, &b, &a));
    EXPECT_EQ(r, 0.25);
    EXPECT_EQ(g, 0.25);
    EXPECT_EQ(b, 0.25);
    EXPECT_EQ(a, 0.5);
    ASSERT_TRUE(gray->getWhite(&w, &a));
    EXPECT_EQ(w, 0.25);
    EXPECT_EQ(gray->cgColor().numberOfComponents(), 2u);

    auto red = UIColor::colorWithRed(1, 0, 0, 1);
    EXPECT_FALSE(red->getWhite(&w, &a));  // an RGB colour has no grey form
    EXPECT_EQ(red->cgColor().components(), (std::vector<CGFloat>{1, 0, 0, 1}));
    // Null pointers are allowed for the parts a caller does not want.
    EXPECT_TRUE(red->getRed(nullptr, nullptr, nullptr, &a));
    EXPECT_EQ(a, 1);

    EXPECT_EQ(UIColor::clearColor()->cgColor().alpha, 0);
    EXPECT_NEAR(UIColor::darkGrayColor()->cgColor().red, 1.0 / 3.0, 1e-12);
    EXPECT_NEAR(UIColor::lightGrayColor()->cgColor().red, 2.0 / 3.0, 1e-12);
}

TEST(DrawColor, HueSaturationBrightnessRoundTrip) {
    struct Case {
        CGFloat r, g, b;
    };
    for (Case c : {Case{1, 0, 0}, Case{0.2, 0.6, 0.4}, Case{0.9, 0.1, 0.7}, Case{0.5, 0.5, 0.5}, Case{0, 0, 0}}) {
        CGFloat h, s, v, a;
        ASSERT_TRUE(UIColor::colorWithRed(c.r, c.g, c.b, 0.3)->getHue(&h, &s, &v, &a));
        EXPECT_GE(h, 0);
        EXPECT_LT(h, 1);
        EXPECT_EQ(a, 0.3);
        CGFloat r, g, b;
        UIColor::colorWithHue(h, s, v, 1)->getRed(&r, &g, &b, nullptr);
        EXPECT_NEAR(r, c.r, 1e-9);
        EXPECT_NEAR(g, c.g, 1e-9);
        EXPECT_NEAR(b, c.b, 1e-9);
    }
    // Known values: pure green is a third of the way round; hue wraps past 1.
    CGFloat h;
    UIColor::colorWithRed(0, 1, 0, 1)->getHue(&h, nullptr, nullptr, nullptr);
    EXPECT_NEAR(h, 1.0 / 3.0, 1e-12);
    CGFloat r, g, b;
    UIColor::colorWithHue(4.0 / 3.0, 1, 1, 1)->getRed(&r, &g, &b, nullptr);
    EXPECT_NEAR(g, 1, 1e-12);
    EXPECT_NEAR(r, 0, 1e-12);
    // A hue that is not a number reads as red instead of failing.
    UIColor::colorWithHue(std::numeric_limits<double>::quiet_NaN(), 1, 1, 1)->getRed(&r, &g, &b, nullptr);
    EXPECT_EQ(r, 1);
}

TEST(DrawColor, DynamicColoursFollowTheCurrentAppearance) {
    auto label = UIColor::labelColor();
    auto background = UIColor::systemBackgroundColor();
    {
        TraitScope light(UIUserInterfaceStyle::Light);
        EXPECT_EQ(label->cgColor().red, 0);
        EXPECT_EQ(background->cgColor().red, 1);
    }
    {
        TraitScope dark(UIUserInterfaceStyle::Dark);
        EXPECT_EQ(label->cgColor().red, 1);
        EXPECT_EQ(background->cgColor().red, 0);
        CGFloat r;
        ASSERT_TRUE(UIColor::systemGray4Color()->getRed(&r, nullptr, nullptr, nullptr));
        EXPECT_NEAR(r, 58 / 255.0, 1e-12);
        // An alpha variant of a dynamic colour stays dynamic.
        auto faded = label->colorWithAlphaComponent(0.5);
        EXPECT_TRUE(faded->isDynamic());
        EXPECT_EQ(faded->cgColor(), CGColor::gray(1, 0.5));
    }
    UITraitCollection darkTraits;
    darkTraits.userInterfaceStyle = UIUserInterfaceStyle::Dark;
    EXPECT_EQ(label->resolvedColorWithTraitCollection(darkTraits)->cgColor(), CGColor::gray(1, 1));
    // A provider that gives nothing resolves to clear instead of failing.
    auto broken = UIColor::colorWithDynamicProvider([](const UITraitCollection&) { return nullptr; });
    EXPECT_EQ(broken->cgColor().alpha, 0);
}

TEST(DrawColor, EqualityAndPatterns) {
    EXPECT_TRUE(UIColor::whiteColor()->isEqual(*UIColor::colorWithWhite(1, 1)));
    EXPECT_FALSE(UIColor::whiteColor()->isEqual(*UIColor::colorWithRed(1, 1, 1, 1)));  // models differ
    EXPECT_FALSE(UIColor::labelColor()->isEqual(*UIColor::labelColor()));
    auto pattern = UIColor::colorWithPatternImage(nullptr);
    CGFloat r = 7, h = 7;
    EXPECT_FALSE(pattern->getRed(&r, nullptr, nullptr, nullptr));
    EXPECT_FALSE(pattern->getHue(&h, nullptr, nullptr, nullptr));
    EXPECT_EQ(r, 7);  // outputs untouched on failure
    EXPECT_EQ(pattern->cgColor().numberOfComponents(), 0u);
    // Alpha is kept within 0...1.
    EXPECT_EQ(UIColor::colorWithRed(1, 0, 0, 3)->cgColor().alpha, 1);
}

}  // namespace
