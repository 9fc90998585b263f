// Theming through the appearance registry: one call sets the look of every standard control from
// a primary colour, an optional secondary colour, an optional font name and a content style. The
// global form writes values for the whole application; the per-controller form limits most of
// them to views inside one controller class. Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/view/ui_appearance.h"

class UIButton;
class UIColor;
class UILabel;

// Values other than Light and Dark mean Contrast.
enum class UIContentStyle : unsigned long { Contrast = 0, Light = 1, Dark = 2 };

// The colour of text, icons and tints drawn on the primary colour.
std::shared_ptr<UIColor> contentColorFor(const std::shared_ptr<UIColor>& primary, UIContentStyle style);
// The status-bar style a theme hands to the application.
UIStatusBarStyle themeStatusBarStyle(const std::shared_ptr<UIColor>& primary, UIContentStyle style);

// The receiver's font becomes the named font at its current size (none when no font has the name).
void setSubstituteFontName(UILabel& label, const std::string& name);
void setSubstituteFontName(UIButton& button, const std::string& name);
// The class's proxy for the containers in order: none gives the plain proxy, more than ten keep the
// first ten.
UIAppearance appearanceWhenContainedWithin(UIAppearanceClass cls, std::vector<UIAppearanceClass> containers);

using ColorPtr = std::shared_ptr<UIColor>;

// One scope of theming: the whole application, or the views inside one controller class.
class FlatKitTheme {
public:
    static FlatKitTheme global() { return FlatKitTheme(std::nullopt); }
    static FlatKitTheme forController(UIAppearanceClass controller) { return FlatKitTheme(std::move(controller)); }
    template <class Controller>
    static FlatKitTheme forController(const Controller& controller) {
        return forController(UIAppearanceClass::of<Controller>(controller.className()));
    }

    void setThemeUsingPrimaryColor(const ColorPtr& primary, UIContentStyle style) const;
    void setThemeUsingPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary, UIContentStyle style) const;
    void setThemeUsingPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary, const std::string& fontName,
                                   UIContentStyle style) const;

    void customizeBarButtonItemWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const;
    void customizeBarButtonItemWithPrimaryColor(const ColorPtr& primary, const std::string& fontName, float fontSize,
                                                UIContentStyle style) const;
    void customizeButtonWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const;
    void customizeButtonWithPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary,
                                         UIContentStyle style) const;
    void customizeImagePickerControllerWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const;
    void customizeLabelWithPrimaryColor(const ColorPtr& primary, const std::string& fontName, double fontSize,
                                        UIContentStyle style) const;
    void customizeNavigationBarWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const;
    void customizeNavigationBarWithBarColor(const ColorPtr& bar, const ColorPtr& text, const ColorPtr& button) const;
    void customizeNavigationBarWithBarColor(const ColorPtr& bar, const ColorPtr& text, const std::string& fontName,
                                            double fontSize, const ColorPtr& button) const;
    void customizePageControlWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const;
    void customizeProgressViewWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const;
    void customizeProgressViewWithPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary) const;
    void customizeSearchBarWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const;
    void customizeSegmentedControlWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const;
    void customizeSegmentedControlWithPrimaryColor(const ColorPtr& primary, const std::string& fontName,
                                                   double fontSize, UIContentStyle style) const;
    void customizeSliderWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const;
    void customizeSliderWithPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary) const;
    void customizeStepperWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const;
    void customizeSwitchWithPrimaryColor(const ColorPtr& primary) const;
    void customizeSwitchWithPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary) const;
    void customizeTabBarWithBarTintColor(const ColorPtr& barTint, const ColorPtr& tint) const;
    void customizeTabBarWithBarTintColor(const ColorPtr& barTint, const ColorPtr& tint, const std::string& fontName,
                                         double fontSize) const;
    void customizeToolbarWithPrimaryColor(const ColorPtr& primary, UIContentStyle style) const;

private:
    explicit FlatKitTheme(std::optional<UIAppearanceClass> controller) : controller_(std::move(controller)) {}
    // "all" and "in X": inside the controller class first in the per-controller form.
    UIAppearance all(const UIAppearanceClass& cls) const;
    UIAppearance in(const UIAppearanceClass& cls, const UIAppearanceClass& container) const;
    void inBars(const UIAppearanceClass& cls, const std::string& property, Value value) const;
    void setStatusBar(const ColorPtr& primary, UIContentStyle style) const;
    void themeTheRest(const ColorPtr& primary, UIContentStyle style) const;

    std::optional<UIAppearanceClass> controller_;
};

// The global form (the class with no instances).
namespace FlatKit {
void setGlobalThemeUsingPrimaryColor(const ColorPtr& primary, UIContentStyle style);
void setGlobalThemeUsingPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary, UIContentStyle style);
void setGlobalThemeUsingPrimaryColor(const ColorPtr& primary, const ColorPtr& secondary, const std::string& fontName,
                                     UIContentStyle style);
}  // namespace FlatKit

// The per-controller form on a controller: limited to views inside the controller's class.
template <class Controller>
void setThemeUsingPrimaryColor(const Controller& controller, const ColorPtr& primary, UIContentStyle style) {
    FlatKitTheme::forController(controller).setThemeUsingPrimaryColor(primary, style);
}
template <class Controller>
void setThemeUsingPrimaryColor(const Controller& controller, const ColorPtr& primary, const ColorPtr& secondary,
                               UIContentStyle style) {
    FlatKitTheme::forController(controller).setThemeUsingPrimaryColor(primary, secondary, style);
}
template <class Controller>
void setThemeUsingPrimaryColor(const Controller& controller, const ColorPtr& primary, const ColorPtr& secondary,
                               const std::string& fontName, UIContentStyle style) {
    FlatKitTheme::forController(controller).setThemeUsingPrimaryColor(primary, secondary, fontName, style);
}
