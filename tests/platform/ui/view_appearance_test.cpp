// The appearance registry: proxies per class and containment list, read back, and applied to real
// views when they first join a window.
#include <gtest/gtest.h>

#include "controller_test_support.h"
#include "platform/ui/bar/ui_navigation_bar.h"
#include "platform/ui/bar/ui_toolbar.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/control/ui_switch.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/view/ui_appearance.h"

namespace {
struct AppearanceTest : UIHarness {
    void SetUp() override {
        UIHarness::SetUp();
        UIAppearance::reset();
    }
    void TearDown() override {
        UIAppearance::reset();
        UIHarness::TearDown();
    }
};

const auto kView = UIAppearanceClass::of<UIView>("UIView");
const auto kButton = UIAppearanceClass::of<UIButton>("UIButton");
const auto kSlider = UIAppearanceClass::of<UISlider>("UISlider");
const auto kToolbar = UIAppearanceClass::of<UIToolbar>("UIToolbar");
const auto kNavigationBar = UIAppearanceClass::of<UINavigationBar>("UINavigationBar");
const auto kController = UIAppearanceClass::of<UIViewController>("UIViewController");

bool same(const std::shared_ptr<UIColor>& a, const std::shared_ptr<UIColor>& b) { return a && b && a->isEqual(*b); }
}  // namespace

TEST_F(AppearanceTest, ProxiesKeepTheirValuesPerContainmentListOfAtMostTen) {
    auto all = UIAppearance::appearance(kButton);
    all.setValue(UIAppearanceProperty::tintColor, Value(UIColor::redColor()));
    auto inBar = UIAppearance::appearanceWhenContainedIn(kButton, {kToolbar});
    inBar.setValue(UIAppearanceProperty::tintColor, Value(UIColor::blueColor()));
    EXPECT_TRUE(same(UIAppearance::appearance(kButton).value("tintColor").objectAs<UIColor>(), UIColor::redColor()));
    EXPECT_TRUE(same(UIAppearance::appearanceWhenContainedIn(kButton, {kToolbar}).value("tintColor").objectAs<UIColor>(),
                     UIColor::blueColor()));
    EXPECT_TRUE(UIAppearance::appearanceWhenContainedIn(kButton, {kSlider}).value("tintColor").isNull());

    std::vector<UIAppearanceClass> twelve(12, kView);
    twelve[9] = kToolbar;
    twelve[10] = kSlider;
    auto clipped = UIAppearance::appearanceWhenContainedIn(kButton, twelve);
    ASSERT_EQ(clipped.containers().size(), 10u);
    EXPECT_EQ(clipped.containers().back().name, "UIToolbar");
    all.setValue(UIAppearanceProperty::tintColor, Value());
    EXPECT_TRUE(UIAppearance::appearance(kButton).value("tintColor").isNull()) << "null removes";
}

TEST_F(AppearanceTest, ViewsTakeTheMostSpecificValuesWhenTheyJoinAWindowAndKeepTheirOwn) {
    UIAppearance::appearance(kSlider).setValue(UIAppearanceProperty::minimumTrackTintColor, Value(UIColor::redColor()));
    UIAppearance::appearanceWhenContainedIn(kSlider, {kToolbar})
        .setValue(UIAppearanceProperty::minimumTrackTintColor, Value(UIColor::greenColor()));
    UIAppearance::appearance(kView).setValue(UIAppearanceProperty::tintColor, Value(UIColor::orangeColor()));

    auto plain = UISlider::make(CGRect{{0, 0}, {100, 30}});
    EXPECT_EQ(plain->minimumTrackTintColor(), nullptr) << "nothing before the window";
    window->addSubview(plain);
    EXPECT_TRUE(same(plain->minimumTrackTintColor(), UIColor::redColor()));
    EXPECT_TRUE(same(plain->tintColor(), UIColor::orangeColor())) << "a subclass takes its base class's values";

    auto bar = UIToolbar::make(CGRect{{0, 0}, {300, 44}});
    auto inBar = UISlider::make(CGRect{{0, 0}, {100, 30}});
    auto own = UISlider::make(CGRect{{0, 0}, {100, 30}});
    own->setMinimumTrackTintColor(UIColor::blueColor());
    auto holder = UIView::make(CGRect{{0, 0}, {100, 30}});
    holder->addSubview(inBar);
    bar->addSubview(holder);
    bar->addSubview(own);
    window->addSubview(bar);
    EXPECT_TRUE(same(inBar->minimumTrackTintColor(), UIColor::greenColor())) << "a container need not be the parent";
    EXPECT_TRUE(same(own->minimumTrackTintColor(), UIColor::blueColor())) << "the instance's own value wins";

    // Values are taken once: a later change of the proxy leaves joined views alone.
    UIAppearance::appearance(kSlider).setValue(UIAppearanceProperty::minimumTrackTintColor, Value(UIColor::cyanColor()));
    plain->removeFromSuperview();
    window->addSubview(plain);
    EXPECT_TRUE(same(plain->minimumTrackTintColor(), UIColor::redColor()));
}

namespace {
class Screen : public UIViewController {
public:
    KORVA_MAKE(Screen)
};
}  // namespace

TEST_F(AppearanceTest, ControllersCountAsContainersAndInvocationsRunOnEachView) {
    const auto kScreen = UIAppearanceClass::of<Screen>("Screen");
    UIAppearance::appearanceWhenContainedIn(kButton, {kScreen})
        .setValue(UIAppearanceProperty::forState("titleShadowColor", UIControlStateNormal), Value(UIColor::redColor()));
    int ran = 0;
    UIAppearance::appearance(kButton).setValue(
        "substituteFontName", Value(make<UIAppearanceInvocation>(Value("DejaVu Serif"), [&](UIView&) { ++ran; })));

    auto screen = Screen::make();
    auto button = UIButton::buttonWithType(UIButtonType::System);
    screen->view()->addSubview(button);
    auto other = UIViewController::make();
    auto outside = UIButton::buttonWithType(UIButtonType::System);
    other->view()->addSubview(outside);
    window->addSubview(screen->view());
    window->addSubview(other->view());
    EXPECT_TRUE(same(button->titleShadowColorForState(UIControlStateNormal), UIColor::redColor()));
    EXPECT_EQ(outside->titleShadowColorForState(UIControlStateNormal), nullptr);
    EXPECT_EQ(ran, 2);
    auto recorded = UIAppearance::appearance(kButton).value("substituteFontName").objectAs<UIAppearanceInvocation>();
    ASSERT_TRUE(recorded);
    EXPECT_EQ(recorded->argument().stringValue(), "DejaVu Serif");
    EXPECT_TRUE(UIAppearance::appearanceWhenContainedIn(kButton, {kController}).value("x").isNull());
}

TEST_F(AppearanceTest, TheNavigationBarDefaultLookLivesInTheRegistry) {
    UINavigationBarAppearance look;
    look.titleColor = UIColor::redColor();
    look.opaque = true;
    UINavigationBar::setDefaultAppearance(look);
    auto stored = UIAppearance::appearance(kNavigationBar).value(UIAppearanceProperty::titleTextAttributes);
    ASSERT_TRUE(stored.isDictionary());
    EXPECT_TRUE(same(stored[NSForegroundColorAttributeName].objectAs<UIColor>(), UIColor::redColor()));
    EXPECT_TRUE(UINavigationBar::make()->standardAppearance().opaque);

    // A theme's bar tint and title colour reach a bar when it joins the window.
    UIAppearance::reset();
    UIAppearance::appearance(kNavigationBar).setValue(UIAppearanceProperty::barTintColor, Value(UIColor::blueColor()));
    UIAppearance::appearance(kNavigationBar)
        .setValue(UIAppearanceProperty::titleTextAttributes,
                  Value(ValueDictionary{{NSForegroundColorAttributeName, Value(UIColor::whiteColor())}}));
    auto bar = UINavigationBar::make(CGRect{{0, 0}, {320, 44}});
    window->addSubview(bar);
    EXPECT_TRUE(same(bar->barTintColor(), UIColor::blueColor()));
    EXPECT_TRUE(same(bar->standardAppearance().titleColor, UIColor::whiteColor()));

    UIBarButtonItem::setAppearanceTintColor(UIColor::greenColor());
    EXPECT_TRUE(same(UIAppearance::appearance(UIAppearanceClass::of<UIBarButtonItem>("UIBarButtonItem"))
                         .value(UIAppearanceProperty::tintColor)
                         .objectAs<UIColor>(),
                     UIColor::greenColor()));
}
