// The settings pop-up.
#include "settings/dict/pop_settings_dict_view.h"

#include <algorithm>

#include "foundation/device.h"
#include "foundation/global.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "settings/dict/settings_dict_description.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/popup/popup_metrics.h"
#include "ui/theme/color.h"

namespace {
constexpr CGFloat kDimAlpha = 0.5;
constexpr CGFloat kBodyInset = 1;
}  // namespace

void PopSettingsDictView::init() {
    PopVCView::init();
    container()->addSubview(body());
    addConstraintsFull(body(), container(), kBodyInset, kBodyInset, -kBodyInset, -kBodyInset);
    hideOnTapOutside();
    updateDarkMode();
}

std::shared_ptr<SettingsDictController> PopSettingsDictView::dict() {
    if (!dict_)
        dict_ = std::dynamic_pointer_cast<SettingsDictController>(
            storyboard(vc(), SettingsDictController::kStoryboardIdentifier));
    if (!dict_) dict_ = SettingsDictController::make();
    return dict_;
}

void PopSettingsDictView::updateDarkMode() {
    PopVCView::updateDarkMode();
    bg()->setBackgroundColor(UIColor::colorWithWhite(0, kDimAlpha));
    auto palette = Global::shared()->color();
    setBgColor(palette ? palette->backgroundPopDefault() : UIColor::whiteColor());
    body()->layer()->setCornerRadius(kPopupCornerRadius);
    body()->setBackgroundColor(UIColor::clearColor());
    if (dict_) dict_->updateDarkMode();
}

void PopSettingsDictView::updateView() {
    auto form = dict();
    auto d = delegate();
    std::size_t rows = d ? settings_dict::rowCount(d->onSettingsDictControllerGetDictionary(*form)) : 0;
    std::size_t cap = Global::shared()->device()->IsIPad() ? kTabletRows : kPhoneRows;
    CGFloat height = kBaseHeight + kRowHeight * static_cast<CGFloat>(std::min(rows, cap));
    auto host = vc();
    CGFloat room = (host ? host->view()->bounds().size.height : 0) - kHostMargin;
    // A host too low for the minimum trades the bounds: the height then lies between the two.
    CGFloat low = std::min(kMinimumHeight, room), high = std::max(kMinimumHeight, room);
    setSize({kWidth, std::clamp(height, low, high)});
}

void PopSettingsDictView::show(const std::shared_ptr<NSObject>& sender, Callback completion) {
    auto form = dict();
    form->setDelegate(delegate());
    updateView();
    std::weak_ptr<PopSettingsDictView> weak = self<PopSettingsDictView>();
    PopVCView::show(
        sender, form,
        [weak, completion = std::move(completion)] {
            auto s = weak.lock();
            if (!s) return;
            s->dict()->flashScrollIndicator();
            if (completion) completion();
        },
        nullptr);
}

void PopSettingsDictView::hide(Callback completion) {
    auto keep = self<PopSettingsDictView>();
    if (auto d = delegate()) d->onPopSettingsDictViewWillHide(*this);
    std::weak_ptr<PopSettingsDictView> weak = keep;
    PopVCView::hide([weak, completion = std::move(completion)] {
        auto s = weak.lock();
        if (!s) return;
        if (auto d = s->delegate()) d->onPopSettingsDictViewDidHide(*s);
        if (completion) completion();
    });
}
