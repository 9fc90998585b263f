// The side-menu drawer.
#include "ui/popup/pop_left_view.h"

#include "foundation/global.h"
#include "foundation/numeric.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/view/ui_view.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"
#include "ui/theme/color.h"

namespace {
constexpr CGFloat kDimAlpha = 0.2;
constexpr CGFloat kContainerRadius = 10;
constexpr CGFloat kBodyInset = 1;
constexpr float kShadowOpacity = 1;
constexpr CGSize kShadowOffset{5, 5};
}  // namespace

void PopLeftView::init() {
    PopVCView::init();
    auto palette = Global::shared()->color();
    auto background = palette ? palette->backgroundDefault() : UIColor::whiteColor();
    bg()->setBackgroundColor(UIColor::colorWithWhite(0, kDimAlpha));
    setBgColor(background);
    if (palette) container()->layer()->setShadowColor(palette->labelDefault()->cgColor());
    container()->layer()->setShadowOpacity(kShadowOpacity);
    container()->layer()->setShadowOffset(kShadowOffset);
    assignRound(*container(), kContainerRadius);
    body()->layer()->setCornerRadius(kPopupCornerRadius);
    body()->setBackgroundColor(background);
    container()->addSubview(body());
    addConstraintsFull(body(), container(), kBodyInset, kBodyInset, -kBodyInset, -kBodyInset);
    hideOnTapOutside();
}

std::shared_ptr<UIViewController> PopLeftView::dict() {
    if (!dict_) dict_ = storyboard(vc(), kStoryboardID);
    return dict_;
}

void PopLeftView::updateView() {
    auto root = rootView();
    const float height = root ? float(root->frame().size.height) : 0;
    setSize({kWidth, minFloat(height - float(kHeightMargin), float(kMaxHeight))});
}

void PopLeftView::recalcLayout() {
    updateView();
    PopVCView::recalcLayout();
}

void PopLeftView::show(const std::shared_ptr<NSObject>& sender) {
    updateView();
    auto weak = std::weak_ptr<PopLeftView>(self<PopLeftView>());
    PopVCView::show(
        sender, dict(),
        [weak] {
            auto s = weak.lock();
            if (auto d = s ? s->delegate_.lock() : nullptr) d->onPopLeftViewDidShow(*s);
        },
        nullptr);
}

void PopLeftView::hide(Callback completion) {
    if (auto d = delegate_.lock()) d->onPopLeftViewWillHide(*this);
    PopVCView::hide(std::move(completion));
}
