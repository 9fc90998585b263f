#include "widgets/button/icon_button.h"

#include <gtest/gtest.h>

#include "platform/image/cg_image.h"
#include "platform/ui/layer/layer_renderer.h"
#include "platform/ui/text/ui_font.h"
#include "platform/ui/view/ui_appearance.h"
#include "widgets/button/ns_string_font_awesome.h"
#include "widgets/button/ui_color_icon_button.h"
#include "widgets_test_support.h"

namespace {
struct Pixel {
    int r, g, b, a;
    int sum() const { return r + g + b; }
};

Pixel pixelAt(const CGImage& image, int x, int y) {
    const std::uint8_t* p = image.row(y) + x * 4;
    bool bgra = image.layout() == CGImagePixelLayout::BGRA8Premultiplied;
    return {p[bgra ? 2 : 0], p[1], p[bgra ? 0 : 2], p[3]};
}

double saturationOf(const Pixel& p) {
    int hi = std::max({p.r, p.g, p.b}), lo = std::min({p.r, p.g, p.b});
    return hi == 0 ? 0 : double(hi - lo) / hi;
}

// The button drawn alone at scale 1, without its title.
std::shared_ptr<CGImage> render(IconButton& button) {
    button.setTitle(std::nullopt, UIControlStateNormal);
    button.layoutIfNeeded();
    return LayerRenderer::snapshot(*button.layer(), 1);
}

class IconButtonTest : public ::testing::Test {
protected:
    void TearDown() override { UIAppearance::reset(); }
};
}  // namespace

TEST_F(IconButtonTest, TheFactoryMakesAWhiteFlatButtonWithBlackTitle) {
    auto button = IconButton::buttonWithType(UIButtonType::System);
    EXPECT_EQ(button->buttonType(), UIButtonType::System);
    EXPECT_EQ(button->buttonStyle(), IconButtonStyle::V3);
    EXPECT_EQ(hsbaOf(button->color()), (std::array<CGFloat, 4>{0, 0, 1, 1}));
    EXPECT_TRUE(sameColor(button->titleColorForState(UIControlStateNormal), UIColor::blackColor()));
    EXPECT_TRUE(sameColor(button->titleShadowColorForState(UIControlStateNormal), UIColor::colorWithWhite(1, 0.6)));
    EXPECT_TRUE(sameColor(button->titleLabel()->shadowColor(), UIColor::colorWithWhite(1, 0.6)));
    EXPECT_EQ(button->titleLabel()->shadowOffset(), (CGSize{0, 0}));
    EXPECT_EQ(button->titleLabel()->font()->pointSize(), 17);
    EXPECT_EQ(button->buttonCornerRadius(), 4.0);
    EXPECT_TRUE(button->shouldShowDisabled());
    EXPECT_TRUE(sameColor(button->backgroundColor(), UIColor::clearColor()));

    button->setType(IconButtonType::Danger);
    EXPECT_TRUE(sameColor(button->color(), ib_dangerColorV3()));
    EXPECT_TRUE(sameColor(button->titleColorForState(UIControlStateNormal), UIColor::whiteColor()));
    EXPECT_TRUE(sameColor(button->titleShadowColorForState(UIControlStateNormal), UIColor::colorWithWhite(0, 0.6)));
    button->setType(static_cast<IconButtonType>(99));
    EXPECT_TRUE(sameColor(button->color(), ib_defaultColorV3())) << "an unknown type is the default";
}

TEST_F(IconButtonTest, TypeAndStyleInitialisersAndTheTextAttributesOfEachStyle) {
    auto v2 = IconButton::withType({{0, 0}, {80, 30}}, IconButtonType::Primary, IconButtonStyle::V2);
    EXPECT_TRUE(sameColor(v2->color(), ib_primaryColorV2()));
    EXPECT_EQ(v2->titleLabel()->shadowOffset(), (CGSize{0, -1}));
    EXPECT_NE(v2->titleLabel()->font()->fontName(), UIFont::systemFontOfSize(17)->fontName()) << "bold";
    auto odd = IconButton::withType({{0, 0}, {80, 30}}, IconButtonType::Success, static_cast<IconButtonStyle>(5));
    EXPECT_TRUE(sameColor(odd->color(), ib_successColorV3())) << "an unknown style takes the V3 colours";
    EXPECT_EQ(odd->buttonCornerRadius(), 0.0);
    auto icon = IconButton::awesomeButtonWithOnlyIcon(0xF128, IconButtonType::Default, IconButtonStyle::V3);
    EXPECT_EQ(icon->frame(), (CGRect{{0, 0}, {40, 40}}));
    EXPECT_EQ(icon->titleForState(UIControlStateNormal), fa_stringForFontAwesomeIcon(0xF128));
    EXPECT_EQ(icon->titleLabel()->font()->pointSize(), 20);
    EXPECT_EQ(icon->titleLabel()->font()->familyName(), iconFontName);
}

TEST_F(IconButtonTest, IconsGoBeforeOrAfterTheTitleOrStandAlone) {
    auto button = IconButton::buttonWithType(UIButtonType::System);
    button->setTitle("Cancel", UIControlStateNormal);
    button->addAwesomeIcon(0xF00D, true);
    EXPECT_EQ(button->titleForState(UIControlStateNormal), "\xEF\x80\x8D Cancel");
    EXPECT_EQ(button->titleLabel()->font()->familyName(), iconFontName);
    EXPECT_EQ(button->titleLabel()->font()->pointSize(), 17) << "the label's size is kept";

    auto after = IconButton::buttonWithType(UIButtonType::System);
    after->setTitle("TAKE NOW", UIControlStateNormal);
    after->addAwesomeIcon(0xF030, false);
    EXPECT_EQ(after->titleForState(UIControlStateNormal), "TAKE NOW \xEF\x80\xB0");

    auto blank = IconButton::buttonWithType(UIButtonType::System);
    blank->setTitle(" \n\t ", UIControlStateNormal);
    blank->addAwesomeIcon(0xF00D, true);
    EXPECT_EQ(blank->titleForState(UIControlStateNormal), "\xEF\x80\x8D");
    auto untitled = IconButton::buttonWithType(UIButtonType::System);
    untitled->addAwesomeIcon(0xF128, false);
    EXPECT_EQ(untitled->titleForState(UIControlStateNormal), "\xEF\x84\xA8");

    EXPECT_EQ(stringByTrimingWhiteSpaceFromString("  a b \n"), "a b");
    EXPECT_TRUE(isStringEmpty("\r\n "));
    EXPECT_FALSE(isStringEmpty(" x"));
}

TEST_F(IconButtonTest, TheRadiusFollowsTheStyleUnlessSetOrTakenFromTheAppearance) {
    auto button = IconButton::withType({{0, 0}, {80, 30}}, IconButtonType::Default, IconButtonStyle::V2);
    EXPECT_EQ(button->buttonCornerRadius(), 6.0);
    button->setStyle(IconButtonStyle::V3);
    EXPECT_EQ(button->buttonCornerRadius(), 4.0);
    EXPECT_FALSE(button->storedCornerRadius()) << "the style's radius is not kept";
    button->setButtonCornerRadius(17.5);
    button->setStyle(IconButtonStyle::V2);
    EXPECT_EQ(button->buttonCornerRadius(), 17.5);

    auto proxy = UIAppearance::appearance(UIAppearanceClass::of<IconButton>("IconButton"));
    proxy.setValue("buttonCornerRadius", Value(15.0));
    auto themed = IconButton::buttonWithType(UIButtonType::System);
    EXPECT_EQ(themed->buttonCornerRadius(), 15.0);
    proxy.setValue("buttonCornerRadius", Value(9.0));
    themed->setStyle(IconButtonStyle::V2);
    EXPECT_EQ(themed->buttonCornerRadius(), 15.0) << "fetched once, then kept";
}

TEST_F(IconButtonTest, DisabledTitleColoursWithAndWithoutShowingDisabled) {
    auto light = IconButton::buttonWithType(UIButtonType::System);
    EXPECT_TRUE(sameColor(light->titleColorForState(UIControlStateDisabled), UIColor::colorWithWhite(0.4, 0.5)));
    light->setShouldShowDisabled(false);
    EXPECT_TRUE(sameColor(light->titleColorForState(UIControlStateDisabled), UIColor::blackColor()));
    light->setType(IconButtonType::Primary);
    EXPECT_TRUE(sameColor(light->titleColorForState(UIControlStateDisabled), UIColor::blackColor()))
        << "without the flag a colour change leaves the disabled colour";

    auto dark = IconButton::withType({{0, 0}, {80, 30}}, IconButtonType::Inverse, IconButtonStyle::V2);
    EXPECT_TRUE(sameColor(dark->titleColorForState(UIControlStateDisabled), UIColor::colorWithWhite(1, 0.5)));
    dark->setShouldShowDisabled(false);
    EXPECT_TRUE(sameColor(dark->titleColorForState(UIControlStateDisabled), UIColor::whiteColor()));
    dark->setEnabled(false);
    EXPECT_TRUE(sameColor(dark->titleLabel()->textColor(), UIColor::whiteColor()));
}

TEST_F(IconButtonTest, TheCoderRoadRunsSetupButNotTheTextAttributes) {
    NSCoder coder;
    coder.encodeObject(Value::array({5.0, 6.0, 120.0, 44.0}), "UIFrame");
    coder.encodeInteger(7, "UITag");
    coder.encodeDouble(0.5, "UIAlpha");
    auto button = makeWithCoder<IconButton>(coder);
    EXPECT_EQ(button->frame(), (CGRect{{5, 6}, {120, 44}}));
    EXPECT_EQ(button->tag(), 7);
    EXPECT_DOUBLE_EQ(button->alpha(), 0.5);
    EXPECT_EQ(button->buttonStyle(), IconButtonStyle::V3);
    EXPECT_TRUE(sameColor(button->color(), ib_defaultColorV3()));
    EXPECT_NE(button->titleLabel()->font()->pointSize(), 17) << "the platform button's own font stays";

    NSCoder damaged;
    damaged.encodeObject(Value::array({"x", 1.0}), "UIFrame");
    damaged.encodeObject("white", "UIBackgroundColor");
    auto plain = makeWithCoder<UIView>(damaged);
    EXPECT_EQ(plain->frame(), CGRectZero);
    EXPECT_EQ(plain->backgroundColor(), nullptr);

    NSCoder written;
    button->encodeWithCoder(written);
    auto copy = makeWithCoder<UIView>(written);
    EXPECT_EQ(copy->frame(), button->frame());
    EXPECT_EQ(copy->tag(), 7);
    EXPECT_TRUE(sameColor(copy->backgroundColor(), UIColor::clearColor()));
}

TEST_F(IconButtonTest, TheGradientLookReversesWhenHighlightedAndDarkensWhenDisabled) {
    auto button = IconButton::withType({{0, 0}, {100, 40}}, IconButtonType::Primary, IconButtonStyle::V2);
    auto normal = render(*button);
    ASSERT_TRUE(normal);
    Pixel top = pixelAt(*normal, 50, 6), bottom = pixelAt(*normal, 50, 34);
    EXPECT_GT(top.sum(), bottom.sum()) << "light end at the top";
    // The inner shadow lightens a band along one inner edge (rows 1-3 or 36-38).
    Pixel edgeTop = pixelAt(*normal, 50, 2), edgeBottom = pixelAt(*normal, 50, 37);

    button->setHighlighted(true);
    auto pressed = render(*button);
    Pixel pTop = pixelAt(*pressed, 50, 6), pBottom = pixelAt(*pressed, 50, 34);
    EXPECT_LT(pTop.sum(), pBottom.sum()) << "light end at the bottom";
    Pixel pEdgeTop = pixelAt(*pressed, 50, 2), pEdgeBottom = pixelAt(*pressed, 50, 37);
    // Without the inner shadow the edges follow the gradient alone.
    EXPECT_GT(edgeTop.sum() - pEdgeBottom.sum() + edgeBottom.sum() - pEdgeTop.sum(), 30)
        << "the unpressed button has its light inner band";

    button->setHighlighted(false);
    button->setEnabled(false);
    auto disabled = render(*button);
    Pixel dTop = pixelAt(*disabled, 50, 6), dBottom = pixelAt(*disabled, 50, 34);
    EXPECT_LT(dTop.sum(), dBottom.sum()) << "the darkened top colour";
    button->setShouldShowDisabled(false);
    button->setNeedsDisplay();
    auto plain = render(*button);
    EXPECT_EQ(pixelAt(*plain, 50, 6).sum(), top.sum()) << "without the flag a disabled button draws as enabled";
}

TEST_F(IconButtonTest, TheFlatLookDarkensWhenHighlightedAndFadesWhenDisabled) {
    auto button = IconButton::withType({{0, 0}, {100, 40}}, IconButtonType::Danger, IconButtonStyle::V3);
    auto normal = render(*button);
    ASSERT_TRUE(normal);
    Pixel fill = pixelAt(*normal, 50, 20);
    auto expected = bytesOf(ib_dangerColorV3());
    EXPECT_NEAR(fill.r, expected[0], 1);
    EXPECT_NEAR(fill.g, expected[1], 1);
    EXPECT_NEAR(fill.b, expected[2], 1);
    EXPECT_EQ(pixelAt(*normal, 0, 0).a, 0) << "rounded corner";
    Pixel outline = pixelAt(*normal, 50, 0);
    EXPECT_LT(outline.sum(), fill.sum());

    button->setHighlighted(true);
    EXPECT_LT(pixelAt(*render(*button), 50, 20).sum(), fill.sum());
    button->setHighlighted(false);
    button->setEnabled(false);
    Pixel faded = pixelAt(*render(*button), 50, 20);
    EXPECT_NEAR(saturationOf(faded), saturationOf(fill) * 0.6, 0.02);
    EXPECT_NEAR(std::max({faded.r, faded.g, faded.b}), std::max({fill.r, fill.g, fill.b}), 1);
}
