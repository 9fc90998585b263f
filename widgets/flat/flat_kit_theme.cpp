// The theme operations write into the appearance registry in the order the looks were designed
// with; a later theme overwrites the same properties and leaves the others.
#include "widgets/flat/flat_kit_theme.h"

#include "platform/ui/app/ui_application.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/image.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/ui_font.h"
#include "widgets/flat/appearance_classes.h"
#include "widgets/flat/flat_contrast.h"
#include "widgets/flat/flat_conversions.h"
#include "widgets/flat/flat_palette.h"

namespace {
namespace A = AppearanceClasses;
namespace P = UIAppearanceProperty;

constexpr double kDarkenedShade = 0.25;
constexpr CGFloat kPageIndicatorAlpha = 0.4;
constexpr double kNavigationTitleSize = 20;
constexpr float kBarButtonItemSize = 18;
constexpr double kSegmentSize = 14;
constexpr double kTextFieldFontSize = 14;
constexpr double kButtonFontSize = 18;
constexpr const char* kSubstituteFontName = "substituteFontName";

Value color(const ColorPtr& c) {
    return Value(c);
}

// Darkened by a quarter of the brightness scale and snapped onto the palette.
ColorPtr darkened(const ColorPtr& c) {
    if (!c) return nullptr;
    return flatten(darkenByPercentage(*c, kDarkenedShade));
}

ColorPtr withAlpha(const ColorPtr& c, CGFloat alpha) {
    return c ? c->colorWithAlphaComponent(alpha) : nullptr;
}

std::shared_ptr<UIImage> emptyImage() {
    return make<UIImage>(std::shared_ptr<CGImage>(), 1.0, UIImageOrientation::Up);
}

Value attributes(std::initializer_list<ValueDictionary::Entry> entries) {
    ValueDictionary d;
    for (const auto& [key, value] : entries) d.set(key, value);
    return Value(d);
}

std::string normalState(const char* property) {
    return P::forState(property, 0);
}

// Sent to a proxy: recorded with the name, and applied to each label or button as it joins a window.
Value substituteFontInvocation(const std::string& name) {
    return Value(make<UIAppearanceInvocation>(Value(name), [name](UIView& view) {
        if (auto* label = dynamic_cast<UILabel*>(&view))
            setSubstituteFontName(*label, name);
        else if (auto* button = dynamic_cast<UIButton*>(&view))
            setSubstituteFontName(*button, name);
    }));
}
}  // namespace

ColorPtr contentColorFor(const ColorPtr& primary, UIContentStyle style) {
    switch (style) {
        case UIContentStyle::Dark: return flatBlackColorDark();
        case UIContentStyle::Light: return UIColor::whiteColor();
        default: return colorWithContrastingBlackOrWhiteColorOn(primary, false);
    }
}

UIStatusBarStyle themeStatusBarStyle(const ColorPtr& primary, UIContentStyle style) {
    switch (style) {
        case UIContentStyle::Light: return UIStatusBarStyle::LightContent;
        case UIContentStyle::Contrast: {
            bool darkPrimary = colorWithContrastingBlackOrWhiteColorOn(primary, true)->isEqual(*flatWhiteColor());
            return darkPrimary ? UIStatusBarStyle::LightContent : UIStatusBarStyle::Default;
        }
        default: return UIStatusBarStyle::Default;
    }
}

void setSubstituteFontName(UILabel& label, const std::string& name) {
    label.setFont(UIFont::fontWithName(name, label.font()->pointSize()));
}

void setSubstituteFontName(UIButton& button, const std::string& name) {
    setSubstituteFontName(*button.titleLabel(), name);
}

UIAppearance appearanceWhenContainedWithin(UIAppearanceClass cls, std::vector<UIAppearanceClass> containers) {
    return UIAppearance::appearanceWhenContainedIn(std::move(cls), std::move(containers));
}

UIAppearance FlatKitTheme::all(const UIAppearanceClass& cls) const {
    if (controller_) return UIAppearance::appearanceWhenContainedIn(cls, {*controller_});
    return UIAppearance::appearance(cls);
}

UIAppearance FlatKitTheme::in(const UIAppearanceClass& cls, const UIAppearanceClass& container) const {
    if (controller_) return UIAppearance::appearanceWhenContainedIn(cls, {*controller_, container});
    return UIAppearance::appearanceWhenContainedIn(cls, {container});
}

void FlatKitTheme::inBars(const UIAppearanceClass& cls, const std::string& property, Value value) const {
    in(cls, A::navigationBar()).setValue(property, value);
    in(cls, A::toolbar()).setValue(property, value);
}

// ---- themes ----

void FlatKitTheme::setStatusBar(const ColorPtr& primary, UIContentStyle style) const {
    UIApplication::sharedApplication()->setStatusBarStyle(themeStatusBarStyle(primary, style));
}

// Page control, search bar, stepper, tab bar, toolbar and image picker: the same in every theme.
void FlatKitTheme::themeTheRest(const ColorPtr& primary, UIContentStyle style) const {
    customizePageControlWithPrimaryColor(primary, style);
    customizeSearchBarWithPrimaryColor(primary, style);
    customizeStepperWithPrimaryColor(primary, style);
    customizeTabBarWithBarTintColor(flatWhiteColor(), primary);
    customizeToolbarWithPrimaryColor(primary, style);
    customizeImagePickerControllerWithPrimaryColor(primary, style);
}

void FlatKitTheme::setThemeUsingPrimaryColor(const ColorPtr& primary, UIContentStyle style) const {
    setStatusBar(primary, style);
    customizeBarButtonItemWithPrimaryColor(primary, style);
    customizeButtonWithPrimaryColor(primary, style);
    customizeNavigationBarWithPrimaryColor(primary, style);
    customizePageControlWithPrimaryColor(primary, style);
    customizeProgressViewWithPrimaryColor(primary, style);
    customizeSearchBarWithPrimaryColor(primary, style);
    customizeSegmentedControlWithPrimaryColor(primary, style);
    customizeSliderWithPrimaryColor(primary, style);
    customizeStepperWithPrimaryColor(primary, style);
    customizeSwitchWithPrimaryColor(primary);
    customizeTabBarWithBarTintColor(flatWhiteColor(), primary);
    customizeToolbarWithPrimaryColor(primary, style);
    customizeImagePickerControllerWithPrimaryColor(primary, style);
}

void FlatKitTheme::setThemeUsingPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary,
                                             UIContentStyle style) const {
    setStatusBar(primary, style);
    customizeBarButtonItemWithPrimaryColor(primary, style);
    customizeButtonWithPrimaryColor(primary, secondary, style);
    customizeNavigationBarWithPrimaryColor(primary, style);
    customizePageControlWithPrimaryColor(primary, style);
    customizeProgressViewWithPrimaryColor(primary, secondary);
    customizeSearchBarWithPrimaryColor(primary, style);
    customizeSegmentedControlWithPrimaryColor(primary, style);
    customizeSliderWithPrimaryColor(primary, secondary);
    customizeStepperWithPrimaryColor(primary, style);
    customizeSwitchWithPrimaryColor(primary, secondary);
    customizeTabBarWithBarTintColor(flatWhiteColor(), primary);
    customizeToolbarWithPrimaryColor(primary, style);
    customizeImagePickerControllerWithPrimaryColor(primary, style);
}

void FlatKitTheme::setThemeUsingPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary,
                                             const std::string& fontName, UIContentStyle style) const {
    setStatusBar(primary, style);
    // Process-wide in both forms.
    UIAppearance::appearance(A::label()).setValue(kSubstituteFontName, substituteFontInvocation(fontName));
    UIAppearance::appearance(A::button()).setValue(kSubstituteFontName, substituteFontInvocation(fontName));
    auto onPrimary = colorWithContrastingBlackOrWhiteColorOn(primary, true);
    customizeNavigationBarWithBarColor(primary, onPrimary, fontName, kNavigationTitleSize, onPrimary);
    customizeBarButtonItemWithPrimaryColor(primary, fontName, kBarButtonItemSize, style);
    customizeSegmentedControlWithPrimaryColor(primary, fontName, kSegmentSize, style);
    customizeButtonWithPrimaryColor(primary, secondary, style);
    customizeProgressViewWithPrimaryColor(primary, secondary);
    customizeSliderWithPrimaryColor(primary, secondary);
    customizeSwitchWithPrimaryColor(primary, secondary);
    themeTheRest(primary, style);
}

// ---- controls ----

void FlatKitTheme::customizeBarButtonItemWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const {
    auto content = contentColorFor(primary, style);
    UIAppearance::appearance(A::barButtonItem()).setValue(P::tintColor, color(primary));
    for (const auto& bar : {A::searchBar(), A::navigationBar(), A::toolbar()})
        UIAppearance::appearanceWhenContainedIn(A::barButtonItem(), {bar}).setValue(P::tintColor, color(content));
}

void FlatKitTheme::customizeBarButtonItemWithPrimaryColor(const ColorPtr& primary, const std::string& fontName,
                                                          float fontSize, UIContentStyle style) const {
    customizeBarButtonItemWithPrimaryColor(primary, style);
    auto font = UIFont::fontWithName(fontName, fontSize);
    if (!font) return;
    Value look = attributes(
        {{NSForegroundColorAttributeName, color(contentColorFor(primary, style))}, {NSFontAttributeName, Value(font)}});
    auto target = controller_ ? UIAppearance::appearance(A::barButtonItem())
                              : UIAppearance::appearanceWhenContainedIn(A::barButtonItem(), {A::navigationBar()});
    target.setValue(normalState(P::titleTextAttributes), look);
}

void FlatKitTheme::customizeButtonWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const {
    customizeButtonWithPrimaryColor(primary, primary, style);
}

void FlatKitTheme::customizeButtonWithPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary,
                                                   UIContentStyle style) const {
    auto content = contentColorFor(primary, style);
    auto everywhere = UIAppearance::appearance(A::button());
    everywhere.setValue(P::tintColor, color(contentColorFor(secondary, style)));
    everywhere.setValue(P::backgroundColor, color(secondary));
    for (const auto& bar : {A::searchBar(), A::navigationBar(), A::toolbar()}) {
        auto inBar = UIAppearance::appearanceWhenContainedIn(A::button(), {bar});
        inBar.setValue(P::tintColor, color(content));
        inBar.setValue(P::backgroundColor, color(UIColor::clearColor()));
    }
    auto inStepper = UIAppearance::appearanceWhenContainedIn(A::button(), {A::stepper()});
    inStepper.setValue(P::tintColor, color(primary));
    inStepper.setValue(P::backgroundColor, color(UIColor::clearColor()));
    everywhere.setValue(normalState("titleShadowColor"), color(UIColor::clearColor()));
}

void FlatKitTheme::customizeImagePickerControllerWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const {
    auto inPicker = [](const UIAppearanceClass& container) {
        return appearanceWhenContainedWithin(A::button(), {container, A::imagePickerController()});
    };
    inPicker(A::view()).setValue(P::backgroundColor, color(UIColor::clearColor()));
    inPicker(A::view()).setValue(P::tintColor, color(UIColor::clearColor()));
    inPicker(A::navigationBar()).setValue(P::backgroundColor, color(UIColor::clearColor()));
    inPicker(A::navigationBar()).setValue(P::tintColor, color(contentColorFor(primary, style)));
    inPicker(A::tableViewCell()).setValue(P::backgroundColor, color(UIColor::clearColor()));
}

void FlatKitTheme::customizeLabelWithPrimaryColor(const ColorPtr& primary, const std::string& fontName, double fontSize,
                                                  UIContentStyle style) const {
    inBars(A::label(), P::textColor, color(contentColorFor(primary, style)));
    auto font = UIFont::fontWithName(fontName, fontSize);
    if (!font) return;
    all(A::label()).setValue(P::font, Value(font));
    in(A::label(), A::textField()).setValue(P::font, Value(UIFont::fontWithName(fontName, kTextFieldFontSize)));
    in(A::label(), A::button()).setValue(P::font, Value(UIFont::fontWithName(fontName, kButtonFontSize)));
}

void FlatKitTheme::customizeNavigationBarWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const {
    auto content = contentColorFor(primary, style);
    customizeNavigationBarWithBarColor(primary, content, content);
}

void FlatKitTheme::customizeNavigationBarWithBarColor(const ColorPtr& bar, const ColorPtr& text,
                                                      const ColorPtr& button) const {
    auto target = all(A::navigationBar());
    target.setValue(P::barTintColor, color(bar));
    target.setValue(P::tintColor, color(button));
    target.setValue(P::titleTextAttributes, attributes({{NSForegroundColorAttributeName, color(text)}}));
    target.setValue(P::shadowImage, Value(emptyImage()));
}

void FlatKitTheme::customizeNavigationBarWithBarColor(const ColorPtr& bar, const ColorPtr& text,
                                                      const std::string& fontName, double fontSize,
                                                      const ColorPtr& button) const {
    auto target = all(A::navigationBar());
    target.setValue(P::barTintColor, color(bar));
    target.setValue(P::tintColor, color(button));
    target.setValue(P::shadowImage, Value(emptyImage()));
    if (auto font = UIFont::fontWithName(fontName, fontSize))
        target.setValue(P::titleTextAttributes, attributes({{NSForegroundColorAttributeName, color(text)},
                                                            {NSFontAttributeName, Value(font)}}));
}

void FlatKitTheme::customizePageControlWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const {
    auto content = contentColorFor(primary, style);
    all(A::pageControl()).setValue(P::currentPageIndicatorTintColor, color(primary));
    all(A::pageControl()).setValue(P::pageIndicatorTintColor, color(withAlpha(primary, kPageIndicatorAlpha)));
    inBars(A::pageControl(), P::currentPageIndicatorTintColor, color(content));
    inBars(A::pageControl(), P::pageIndicatorTintColor, color(withAlpha(content, kPageIndicatorAlpha)));
}

void FlatKitTheme::customizeProgressViewWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const {
    all(A::progressView()).setValue(P::progressTintColor, color(primary));
    inBars(A::progressView(), P::progressTintColor, color(contentColorFor(primary, style)));
    all(A::progressView()).setValue(P::trackTintColor, color(UIColor::lightGrayColor()));
    inBars(A::progressView(), P::trackTintColor, color(darkened(primary)));
}

void FlatKitTheme::customizeProgressViewWithPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary) const {
    all(A::progressView()).setValue(P::progressTintColor, color(secondary));
    inBars(A::progressView(), P::progressTintColor, color(secondary));
    all(A::progressView()).setValue(P::trackTintColor, color(UIColor::lightGrayColor()));
    inBars(A::progressView(), P::trackTintColor, color(darkened(primary)));
}

void FlatKitTheme::customizeSearchBarWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const {
    auto target = all(A::searchBar());
    target.setValue(P::barTintColor, color(primary));
    target.setValue(P::backgroundColor, color(primary));
    target.setValue(P::tintColor, color(contentColorFor(primary, style)));
    target.setValue("backgroundImage:0:0", Value(emptyImage()));
}

void FlatKitTheme::customizeSegmentedControlWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const {
    all(A::segmentedControl()).setValue(P::tintColor, color(primary));
    inBars(A::segmentedControl(), P::tintColor, color(contentColorFor(primary, style)));
}

void FlatKitTheme::customizeSegmentedControlWithPrimaryColor(const ColorPtr& primary, const std::string& fontName,
                                                             double fontSize, UIContentStyle style) const {
    customizeSegmentedControlWithPrimaryColor(primary, style);
    if (auto font = UIFont::fontWithName(fontName, fontSize))
        all(A::segmentedControl())
            .setValue(normalState(P::titleTextAttributes), attributes({{NSFontAttributeName, Value(font)}}));
}

void FlatKitTheme::customizeSliderWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const {
    auto content = contentColorFor(primary, style);
    all(A::slider()).setValue(P::minimumTrackTintColor, color(primary));
    inBars(A::slider(), P::minimumTrackTintColor, color(content));
    all(A::slider()).setValue(P::maximumTrackTintColor, color(UIColor::lightGrayColor()));
    inBars(A::slider(), P::maximumTrackTintColor, color(darkened(primary)));
    if (controller_) return;
    all(A::slider()).setValue(P::thumbTintColor, color(primary));
    in(A::slider(), A::toolbar()).setValue(P::thumbTintColor, color(content));
}

void FlatKitTheme::customizeSliderWithPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary) const {
    all(A::slider()).setValue(P::minimumTrackTintColor, color(secondary));
    inBars(A::slider(), P::minimumTrackTintColor, color(secondary));
    all(A::slider()).setValue(P::maximumTrackTintColor, color(UIColor::lightGrayColor()));
    inBars(A::slider(), P::maximumTrackTintColor, color(darkened(primary)));
    if (controller_) return;
    all(A::slider()).setValue(P::thumbTintColor, color(secondary));
    in(A::slider(), A::toolbar())
        .setValue(P::thumbTintColor, color(colorWithContrastingBlackOrWhiteColorOn(primary, false)));
}

void FlatKitTheme::customizeStepperWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const {
    all(A::stepper()).setValue(P::tintColor, color(primary));
    inBars(A::stepper(), P::tintColor, color(contentColorFor(primary, style)));
}

void FlatKitTheme::customizeSwitchWithPrimaryColor(const ColorPtr& primary) const {
    all(A::switchControl()).setValue(P::onTintColor, color(primary));
    inBars(A::switchControl(), P::onTintColor, color(darkened(primary)));
}

void FlatKitTheme::customizeSwitchWithPrimaryColor(const ColorPtr&, const ColorPtr& secondary) const {
    all(A::switchControl()).setValue(P::onTintColor, color(secondary));
    inBars(A::switchControl(), P::onTintColor, color(secondary));
}

void FlatKitTheme::customizeTabBarWithBarTintColor(const ColorPtr& barTint, const ColorPtr& tint) const {
    all(A::tabBar()).setValue(P::barTintColor, color(barTint));
    all(A::tabBar()).setValue(P::tintColor, color(tint));
}

void FlatKitTheme::customizeTabBarWithBarTintColor(const ColorPtr& barTint, const ColorPtr& tint,
                                                   const std::string& fontName, double fontSize) const {
    customizeTabBarWithBarTintColor(barTint, tint);
    if (auto font = UIFont::fontWithName(fontName, fontSize))
        all(A::tabBarItem())
            .setValue(normalState(P::titleTextAttributes), attributes({{NSFontAttributeName, Value(font)}}));
}

void FlatKitTheme::customizeToolbarWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const {
    auto target = all(A::toolbar());
    target.setValue(P::tintColor, color(contentColorFor(primary, style)));
    target.setValue(P::barTintColor, color(primary));
    target.setValue(P::clipsToBounds, Value(true));
}

namespace FlatKit {
void setGlobalThemeUsingPrimaryColor(const ColorPtr& primary, UIContentStyle style) {
    FlatKitTheme::global().setThemeUsingPrimaryColor(primary, style);
}
void setGlobalThemeUsingPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary, UIContentStyle style) {
    FlatKitTheme::global().setThemeUsingPrimaryColor(primary, secondary, style);
}
void setGlobalThemeUsingPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary, const std::string& fontName,
                                     UIContentStyle style) {
    FlatKitTheme::global().setThemeUsingPrimaryColor(primary, secondary, fontName, style);
}
}  // namespace FlatKit
