#include "widgets/flat/status_bar_flat_kit.h"

#include "platform/dispatch/run_loop.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/control/ui_image_view.h"
#include "widgets/flat/attached_value.h"
#include "widgets/flat/flat_contrast.h"

namespace {
constexpr const char* kContrastKey = "shouldContrast";
constexpr const char* kLightContentKey = "shouldUseLightContent";
constexpr const char* kHidesHairlineKey = "hidesNavigationBarHairline";
constexpr double kStatusBarUpdateDelay = 0.01;
constexpr CGFloat kHairlineMaxHeight = 1.0;
constexpr CGFloat kProbeY = 2.0;
constexpr CGFloat kVisibleAlpha = 0.01;

UIStatusBarStyle styleFromRule(long style) {
    return style == 1 ? UIStatusBarStyle::LightContent : UIStatusBarStyle::Default;
}

void applyHairline(UINavigationController& controller) {
    if (auto hairline = findHairlineImageViewUnder(controller.navigationBar()))
        hairline->setHidden(hidesNavigationBarHairline(controller));
}
}  // namespace

void installFlatKitStatusBarBehaviour() {
    static const bool installed = [] {
        UIViewController::setStatusBarStyleProvider(flatkit_preferredStatusBarStyle);
        UINavigationController::setNavigationStatusBarStyleProvider(flatkit_navigationPreferredStatusBarStyle);
        UINavigationController::setViewDidLoadHook(applyHairline);
        return true;
    }();
    (void)installed;
}

bool shouldContrast(const UIViewController& controller) {
    return attachedValue(controller, kContrastKey).boolValue();
}
void setShouldContrast(UIViewController& controller, bool contrast) {
    setAttachedValue(controller, kContrastKey, Value(contrast));
}
bool shouldUseLightContent(const UIViewController& controller) {
    return attachedValue(controller, kLightContentKey).boolValue();
}
void setShouldUseLightContent(UIViewController& controller, bool light) {
    setAttachedValue(controller, kLightContentKey, Value(light));
}

void setStatusBarStyle(UIViewController& controller, long style) {
    if (dynamic_cast<UINavigationController*>(&controller)) {
        if (style == kStatusBarStyleContrast)
            setShouldContrast(controller, true);
        else
            setShouldUseLightContent(controller, style == 1);
        return;
    }
    std::weak_ptr<UIViewController> weak = controller.self<UIViewController>();
    RunLoop::current().performAfterDelay(kStatusBarUpdateDelay, [weak] {
        if (auto c = weak.lock()) c->setNeedsStatusBarAppearanceUpdate();
    });
    if (style == kStatusBarStyleContrast)
        setShouldContrast(controller, true);
    else
        setShouldUseLightContent(controller, style == 1);
}

long contrastingStatusBarStyleForColor(const std::shared_ptr<UIColor>& color) {
    CGFloat r = 0, g = 0, b = 0;
    if (!color || !color->getRed(&r, &g, &b, nullptr)) return 0;
    return isLightForContrast(r, g, b) ? 0 : 1;
}

UIStatusBarStyle flatkit_preferredStatusBarStyle(const UIViewController& controller, UIStatusBarStyle platformStyle) {
    if (shouldContrast(controller)) {
        auto view = controller.viewIfLoaded();
        CGRect bar = UIApplication::sharedApplication()->statusBarFrame();
        auto under = findTopMostViewForPoint(view, {CGRectGetMidX(bar), kProbeY});
        return styleFromRule(contrastingStatusBarStyleForColor(under ? under->backgroundColor() : nullptr));
    }
    if (shouldUseLightContent(controller)) return UIStatusBarStyle::LightContent;
    return platformStyle;
}

UIStatusBarStyle flatkit_navigationPreferredStatusBarStyle(const UINavigationController& controller) {
    if (shouldContrast(controller)) {
        auto bar = const_cast<UINavigationController&>(controller).navigationBar();
        return styleFromRule(contrastingStatusBarStyleForColor(bar ? bar->barTintColor() : nullptr));
    }
    return shouldUseLightContent(controller) ? UIStatusBarStyle::LightContent : UIStatusBarStyle::Default;
}

bool hidesNavigationBarHairline(const UINavigationController& controller) {
    return attachedValue(controller, kHidesHairlineKey).boolValue();
}

void setHidesNavigationBarHairline(UINavigationController& controller, bool hides) {
    setAttachedValue(controller, kHidesHairlineKey, Value(hides));
    // Before the view loads the bar has no hairline to find; the load applies the flag.
    if (controller.isViewLoaded()) applyHairline(controller);
}

std::shared_ptr<UIImageView> findHairlineImageViewUnder(const std::shared_ptr<UIView>& view) {
    if (!view) return nullptr;
    if (auto image = std::dynamic_pointer_cast<UIImageView>(view);
        image && view->bounds().size.height <= kHairlineMaxHeight)
        return image;
    for (const auto& sub : view->subviews())
        if (auto found = findHairlineImageViewUnder(sub)) return found;
    return nullptr;
}

std::shared_ptr<UIView> findTopMostViewForPoint(const std::shared_ptr<UIView>& view, CGPoint point) {
    if (!view) return nullptr;
    const auto& subs = view->subviews();
    for (auto it = subs.rbegin(); it != subs.rend(); ++it) {
        const auto& sub = *it;
        if (sub->isHidden()) continue;
        if (CGRectContainsPoint(sub->frame(), point) && sub->alpha() > kVisibleAlpha)
            return findTopMostViewForPoint(sub, view->convertPointToView(point, sub));
    }
    return view;
}

bool isTopViewInWindow(const std::shared_ptr<UIView>& view) {
    if (!view) return false;
    auto window = view->window();
    if (!window) return false;
    CGRect b = view->bounds();
    CGPoint centre = view->convertPointToView({CGRectGetMidX(b), CGRectGetMidY(b)}, nullptr);
    auto top = findTopMostViewForPoint(window, centre);
    return top && (top == view || top->isDescendantOfView(view.get()));
}
