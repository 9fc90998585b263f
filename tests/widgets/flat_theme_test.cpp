#include <gtest/gtest.h>

#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/bar/ui_toolbar.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/control/ui_switch.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/ui_font.h"
#include "widgets/flat/appearance_classes.h"
#include "widgets/flat/flat_kit_theme.h"
#include "widgets/flat/flat_palette.h"
#include "widgets_test_support.h"

namespace {
namespace A = AppearanceClasses;
namespace P = UIAppearanceProperty;

class ThemedScreen : public UIViewController {
public:
    KORVA_MAKE(ThemedScreen)
};

std::shared_ptr<UIColor> colorAt(const UIAppearance& proxy, const std::string& property) {
    return proxy.value(property).objectAs<UIColor>();
}

using FlatTheme = WindowTest;
}  // namespace

TEST_F(FlatTheme, ContentStylesDecideTintsAndTheStatusBar) {
    auto app = UIApplication::sharedApplication();
    auto tint = [] { return colorAt(UIAppearance::appearance(A::toolbar()), P::tintColor); };
    FlatKit::setGlobalThemeUsingPrimaryColor(flatNavyBlueColor(), UIContentStyle::Contrast);
    EXPECT_EQ(app->statusBarStyle(), UIStatusBarStyle::LightContent);
    EXPECT_TRUE(sameColor(tint(), UIColor::colorWithRed(1, 1, 1, 1)));
    FlatKit::setGlobalThemeUsingPrimaryColor(flatYellowColor(), UIContentStyle::Contrast);
    EXPECT_EQ(app->statusBarStyle(), UIStatusBarStyle::Default);
    EXPECT_TRUE(sameColor(tint(), UIColor::colorWithRed(0, 0, 0, 1)));
    for (auto primary : {flatYellowColor(), flatNavyBlueColor()}) {
        FlatKit::setGlobalThemeUsingPrimaryColor(primary, UIContentStyle::Dark);
        EXPECT_EQ(app->statusBarStyle(), UIStatusBarStyle::Default);
        EXPECT_TRUE(sameColor(tint(), flatBlackColorDark()));
        FlatKit::setGlobalThemeUsingPrimaryColor(primary, UIContentStyle::Light);
        EXPECT_EQ(app->statusBarStyle(), UIStatusBarStyle::LightContent);
        EXPECT_TRUE(sameColor(tint(), UIColor::whiteColor()));
    }
    // The secondary colour takes the buttons, sliders and switches; bars keep the primary's.
    FlatKit::setGlobalThemeUsingPrimaryColor(flatNavyBlueColor(), flatOrangeColor(), UIContentStyle::Contrast);
    EXPECT_TRUE(sameColor(colorAt(UIAppearance::appearance(A::button()), P::backgroundColor), flatOrangeColor()));
    EXPECT_TRUE(sameColor(colorAt(UIAppearance::appearance(A::switchControl()), P::onTintColor), flatOrangeColor()));
    EXPECT_TRUE(sameColor(colorAt(UIAppearance::appearance(A::navigationBar()), P::barTintColor), flatNavyBlueColor()));
    // The switch inside bars takes the darkened primary in the plain theme.
    FlatKit::setGlobalThemeUsingPrimaryColor(flatRedColor(), UIContentStyle::Contrast);
    auto inBar = colorAt(UIAppearance::appearanceWhenContainedIn(A::switchControl(), {A::toolbar()}), P::onTintColor);
    EXPECT_TRUE(sameColor(inBar, flatRedColorDark()));
}

TEST_F(FlatTheme, AFontThatDoesNotExistSetsColoursButNoTitleAttributes) {
    FlatKit::setGlobalThemeUsingPrimaryColor(flatMintColor(), flatPurpleColor(), "No Such Font",
                                             UIContentStyle::Contrast);
    auto bar = UIAppearance::appearance(A::navigationBar());
    EXPECT_TRUE(sameColor(colorAt(bar, P::barTintColor), flatMintColor()));
    EXPECT_TRUE(bar.value(P::titleTextAttributes).isNull());
    EXPECT_TRUE(UIAppearance::appearanceWhenContainedIn(A::barButtonItem(), {A::navigationBar()})
                    .value(P::forState(P::titleTextAttributes, 0))
                    .isNull());
    EXPECT_TRUE(UIAppearance::appearance(A::segmentedControl()).value(P::forState(P::titleTextAttributes, 0)).isNull());
    auto recorded = UIAppearance::appearance(A::label()).value("substituteFontName").objectAs<UIAppearanceInvocation>();
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->argument().stringValue(), "No Such Font");

    FlatKit::setGlobalThemeUsingPrimaryColor(flatMintColor(), flatPurpleColor(), "DejaVu Serif",
                                             UIContentStyle::Contrast);
    auto attributes = UIAppearance::appearance(A::navigationBar()).value(P::titleTextAttributes);
    ASSERT_TRUE(attributes.isDictionary());
    auto font = attributes[NSFontAttributeName].objectAs<UIFont>();
    ASSERT_TRUE(font);
    EXPECT_EQ(font->pointSize(), 20);
    // The title colour is the flat contrast colour whatever the content style.
    EXPECT_TRUE(sameColor(attributes[NSForegroundColorAttributeName].objectAs<UIColor>(), flatWhiteColor()));
    auto label = UILabel::make(CGRect{{0, 0}, {100, 20}});
    label->setFont(UIFont::systemFontOfSize(13));
    window->addSubview(label);
    EXPECT_EQ(label->font()->familyName(), "DejaVu Serif");
    EXPECT_EQ(label->font()->pointSize(), 13);
}

TEST_F(FlatTheme, ThePerControllerFormPrefixesItsClassAndLeavesThumbs) {
    auto screen = ThemedScreen::make();
    const auto kScreen = UIAppearanceClass::of<ThemedScreen>("ThemedScreen");
    setThemeUsingPrimaryColor(*screen, flatGreenColor(), UIContentStyle::Contrast);
    EXPECT_TRUE(UIAppearance::appearance(A::slider()).value(P::minimumTrackTintColor).isNull());
    EXPECT_TRUE(
        sameColor(colorAt(UIAppearance::appearanceWhenContainedIn(A::slider(), {kScreen}), P::minimumTrackTintColor),
                  flatGreenColor()));
    EXPECT_TRUE(colorAt(UIAppearance::appearanceWhenContainedIn(A::slider(), {kScreen, A::toolbar()}),
                        P::minimumTrackTintColor));
    EXPECT_TRUE(UIAppearance::appearanceWhenContainedIn(A::slider(), {kScreen}).value(P::thumbTintColor).isNull());
    EXPECT_TRUE(UIAppearance::appearance(A::slider()).value(P::thumbTintColor).isNull());
    EXPECT_TRUE(sameColor(colorAt(UIAppearance::appearance(A::button()), P::backgroundColor), flatGreenColor()))
        << "buttons are themed process-wide in both forms";

    // Read back from real controls once they join a window.
    auto inside = UISlider::make(CGRect{{0, 0}, {200, 30}});
    auto outside = UISlider::make(CGRect{{0, 0}, {200, 30}});
    screen->view()->addSubview(inside);
    window->addSubview(screen->view());
    window->addSubview(outside);
    EXPECT_TRUE(sameColor(inside->minimumTrackTintColor(), flatGreenColor()));
    EXPECT_EQ(inside->thumbTintColor(), nullptr);
    EXPECT_EQ(outside->minimumTrackTintColor(), nullptr);

    FlatKit::setGlobalThemeUsingPrimaryColor(flatRedColor(), UIContentStyle::Contrast);
    auto toolbar = UIToolbar::make(CGRect{{0, 0}, {390, 44}});
    auto barSlider = UISlider::make(CGRect{{0, 0}, {200, 30}});
    toolbar->addSubview(barSlider);
    window->addSubview(toolbar);
    EXPECT_TRUE(sameColor(toolbar->barTintColor(), flatRedColor()));
    EXPECT_TRUE(toolbar->clipsToBounds());
    EXPECT_TRUE(sameColor(barSlider->thumbTintColor(), UIColor::colorWithRed(1, 1, 1, 1)))
        << "the content colour inside a toolbar";
}

TEST_F(FlatTheme, ContainmentWithinAnArrayKeepsTenAndSubstituteFontsMayFindNothing) {
    std::vector<UIAppearanceClass> twelve(12, A::view());
    EXPECT_EQ(appearanceWhenContainedWithin(A::button(), twelve).containers().size(), 10u);
    EXPECT_TRUE(appearanceWhenContainedWithin(A::button(), {}).containers().empty());
    auto button = UIButton::buttonWithType(UIButtonType::System);
    setSubstituteFontName(*button, "DejaVu Serif");
    EXPECT_EQ(button->titleLabel()->font()->familyName(), "DejaVu Serif");
    EXPECT_EQ(button->titleLabel()->font()->pointSize(), 15);
    auto label = UILabel::make();
    setSubstituteFontName(*label, "No Such Font");
    EXPECT_TRUE(label->font()) << "the platform label falls back on its default font";
}
