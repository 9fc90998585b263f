// The screen: a device model in an orientation, with the appearance and text size the user chose.
// Main-thread only. Changes are passed on to the windows on the screen.
#pragma once

#include <memory>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/ui/app/device_model.h"
#include "platform/ui/draw/trait_collection.h"

class UIWindow;

enum class UIInterfaceOrientation {
    Unknown = 0,
    Portrait = 1,
    PortraitUpsideDown = 2,
    LandscapeRight = 3,
    LandscapeLeft = 4
};

class UIScreen : public NSObject {
public:
    KORVA_MAKE(UIScreen)

    // The screen the application runs on; made with the default model on first use.
    static std::shared_ptr<UIScreen> mainScreen();
    static void setMainScreen(std::shared_ptr<UIScreen> screen);

    const DeviceModel& model() const { return model_; }
    void setModel(const DeviceModel& model);

    // Points, for the current orientation.
    CGRect bounds() const;
    CGFloat scale() const { return model_.scale; }
    // Pixels per point of the display that shows the screen: the model's scale unless the host
    // shows it at another density (a desktop window smaller or larger than the device).
    CGFloat nativeScale() const { return nativeScale_ > 0 ? nativeScale_ : model_.scale; }
    // 0 (or anything not positive and finite) goes back to the model's scale.
    void setNativeScale(CGFloat scale);
    UIEdgeInsets safeAreaInsets() const;
    UIUserInterfaceIdiom idiom() const { return model_.idiom; }

    UIInterfaceOrientation orientation() const { return orientation_; }
    void setOrientation(UIInterfaceOrientation o);
    bool isLandscape() const;

    UIUserInterfaceStyle userInterfaceStyle() const { return traits_.userInterfaceStyle; }
    void setUserInterfaceStyle(UIUserInterfaceStyle style);
    const UIContentSizeCategory& preferredContentSizeCategory() const { return traits_.preferredContentSizeCategory; }
    void setPreferredContentSizeCategory(UIContentSizeCategory category);
    const UITraitCollection& traitCollection() const { return traits_; }

    // Windows register themselves so that size and trait changes reach them.
    void addWindow(const std::shared_ptr<UIWindow>& window);
    void removeWindow(const UIWindow* window);
    std::vector<std::shared_ptr<UIWindow>> windows() const;

    std::string className() const override { return "UIScreen"; }

protected:
    explicit UIScreen(DeviceModel model = DeviceModel::defaultModel()) : model_(std::move(model)) {}

private:
    void geometryChanged();
    void traitsChanged();

    DeviceModel model_;
    CGFloat nativeScale_ = 0;
    UIInterfaceOrientation orientation_ = UIInterfaceOrientation::Portrait;
    UITraitCollection traits_;
    std::vector<std::weak_ptr<UIWindow>> windows_;
};
