// Screen geometry per orientation, and passing changes on to the windows.
#include "platform/ui/app/ui_screen.h"

#include <algorithm>
#include <cmath>

#include "platform/dispatch/notification_center.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/draw/graphics.h"

namespace {
std::shared_ptr<UIScreen>& mainScreenSlot() {
    static std::shared_ptr<UIScreen> screen;
    return screen;
}
}  // namespace

std::shared_ptr<UIScreen> UIScreen::mainScreen() {
    auto& slot = mainScreenSlot();
    if (!slot) setMainScreen(UIScreen::make());
    return slot;
}

void UIScreen::setMainScreen(std::shared_ptr<UIScreen> screen) {
    mainScreenSlot() = std::move(screen);
    if (auto& s = mainScreenSlot()) {
        UIGraphicsSetMainScreenScale(s->scale());
        UITraitCollection::setCurrentTraitCollection(s->traits_);
    }
}

void UIScreen::setModel(const DeviceModel& model) {
    model_ = model;
    if (mainScreenSlot().get() == this) UIGraphicsSetMainScreenScale(model_.scale);
    geometryChanged();
}

void UIScreen::setNativeScale(CGFloat scale) {
    nativeScale_ = scale > 0 && std::isfinite(scale) ? scale : 0;
}

bool UIScreen::isLandscape() const {
    return orientation_ == UIInterfaceOrientation::LandscapeLeft ||
           orientation_ == UIInterfaceOrientation::LandscapeRight;
}

CGRect UIScreen::bounds() const {
    CGSize s = model_.portraitSize;
    if (isLandscape()) std::swap(s.width, s.height);
    return {{0, 0}, s};
}

UIEdgeInsets UIScreen::safeAreaInsets() const {
    switch (orientation_) {
        case UIInterfaceOrientation::PortraitUpsideDown: {
            UIEdgeInsets p = model_.portraitSafeArea;
            return {p.bottom, p.right, p.top, p.left};
        }
        case UIInterfaceOrientation::LandscapeLeft:
        case UIInterfaceOrientation::LandscapeRight: return model_.landscapeSafeArea;
        default: return model_.portraitSafeArea;
    }
}

void UIScreen::setOrientation(UIInterfaceOrientation o) {
    if (o == UIInterfaceOrientation::Unknown || o == orientation_) return;
    orientation_ = o;
    geometryChanged();
}

void UIScreen::setUserInterfaceStyle(UIUserInterfaceStyle style) {
    if (style == UIUserInterfaceStyle::Unspecified) style = UIUserInterfaceStyle::Light;
    if (style == traits_.userInterfaceStyle) return;
    traits_.userInterfaceStyle = style;
    traitsChanged();
}

void UIScreen::setPreferredContentSizeCategory(UIContentSizeCategory category) {
    if (category == traits_.preferredContentSizeCategory) return;
    traits_.preferredContentSizeCategory = std::move(category);
    traitsChanged();
    NSNotificationCenter::defaultCenter()->post(
        UIContentSizeCategoryDidChangeNotification, nullptr,
        Value::dictionary({{"UIContentSizeCategoryNewValueKey", Value(traits_.preferredContentSizeCategory)}}));
}

void UIScreen::addWindow(const std::shared_ptr<UIWindow>& window) {
    removeWindow(window.get());
    windows_.push_back(window);
}

void UIScreen::removeWindow(const UIWindow* window) {
    windows_.erase(std::remove_if(windows_.begin(), windows_.end(),
                                  [window](const auto& w) { return w.expired() || w.lock().get() == window; }),
                   windows_.end());
}

std::vector<std::shared_ptr<UIWindow>> UIScreen::windows() const {
    std::vector<std::shared_ptr<UIWindow>> out;
    for (const auto& w : windows_)
        if (auto s = w.lock()) out.push_back(s);
    return out;
}

void UIScreen::geometryChanged() {
    for (auto& w : windows()) w->screenDidChange();
}

void UIScreen::traitsChanged() {
    if (mainScreenSlot().get() == this) UITraitCollection::setCurrentTraitCollection(traits_);
    for (auto& w : windows()) w->traitCollectionDidChange();
}
