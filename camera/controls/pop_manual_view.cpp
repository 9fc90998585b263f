// The manual-control menu: its entries, the control pop-ups it opens and the relay between them
// and the host.
#include "camera/controls/pop_manual_view.h"

#include <algorithm>

#include "camera/controls/child_popup.h"
#include "camera/controls/pop_manual_exp_view.h"
#include "camera/controls/pop_manual_focus_view.h"
#include "camera/controls/pop_manual_invalid_view.h"
#include "camera/controls/pop_manual_wb_view.h"
#include "foundation/global.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/popup/popup_metrics.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "widgets/button/ns_string_font_awesome.h"

namespace {
constexpr CGSize kInitialSize{250, 100};
constexpr CGFloat kMenuInset = 5;
constexpr CGFloat kMenuHeight = 40;
const char* const kTitles[] = {"FOCUS", "EXPOSURE", "WHITE BALANCE"};
}  // namespace

void PopManualView::init() {
    PopManualBase::init();
    setSize(kInitialSize);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(0, 0.4));
    b0p()->addSubview(menu());
    addConstraintsB(menu(), b0p(), kMenuInset, -kMenuInset, -kMenuInset, kMenuHeight);
}

void PopManualView::setDelegate(const std::shared_ptr<PopManualViewDelegate>& d) {
    delegate_ = d;
}

const std::shared_ptr<PopManualFocusView>& PopManualView::popFocus() {
    return childPopup(popFocus_, vc(), self<PopManualView>());
}
const std::shared_ptr<PopManualExpView>& PopManualView::popExp() {
    return childPopup(popExp_, vc(), self<PopManualView>());
}
const std::shared_ptr<PopManualWBView>& PopManualView::popWB() {
    return childPopup(popWB_, vc(), self<PopManualView>());
}
const std::shared_ptr<PopManualInvalidView>& PopManualView::popInvalid() {
    return childPopup(popInvalid_, vc(), self<PopManualView>());
}

const std::shared_ptr<MenuLabelView>& PopManualView::menu() {
    if (!menu_) {
        menu_ = MenuLabelView::make(Global::shared()->font()->iconFixedSmall1(),
                                    UIColor::colorWithRed(89 / 255.0, 169 / 255.0, 233 / 255.0, 1),
                                    UIColor::clearColor(), Global::shared()->color()->colorSelected());
        menu_->setDelegate(self<PopManualView>());
    }
    return menu_;
}

void PopManualView::show(const std::shared_ptr<NSObject>& sender, Callback completion) {
    updateData();
    std::weak_ptr<PopManualView> weak = self<PopManualView>();
    PopTitleBase::show(sender, "MANUAL CONTROL", [weak, completion = std::move(completion)] {
        auto s = weak.lock();
        if (!s) return;
        s->menu()->flash();
        if (completion) completion();
        if (auto d = s->delegate()) d->onPopManualViewDidShow(*s);
    });
}

void PopManualView::updateData() {
    const double w = menu()->updateData();
    auto owner = vc();
    const CGSize screen = owner ? owner->view()->bounds().size : CGSize{};
    const float s = float(std::min(screen.width, screen.height));
    setSize({std::min(float(w), s - float(kPopupScreenMargin)), kHeight});
}

void PopManualView::hide(Callback completion) {
    for (const std::shared_ptr<PopManualBase>& pop :
         {std::shared_ptr<PopManualBase>(popFocus()), std::shared_ptr<PopManualBase>(popExp()),
          std::shared_ptr<PopManualBase>(popWB()), std::shared_ptr<PopManualBase>(popInvalid())})
        if (!pop->hidden()) pop->hide(Callback([] {}));
    hideThenReport(std::move(completion));
}

bool PopManualView::isUserManual() const {
    return (popFocus_ && popFocus_->isUserManual()) || (popExp_ && popExp_->isUserManual()) ||
           (popWB_ && popWB_->isUserManual());
}

bool PopManualView::isManualSupported() {
    return popFocus()->isManualSupported() || popExp()->isManualSupported() || popWB()->isManualSupported();
}

void PopManualView::setAuto() {
    popFocus()->setAuto();
    popExp()->setAuto();
    popWB()->setAuto();
}

void PopManualView::resetTimer() {
    popFocus()->resetTimer();
    popExp()->resetTimer();
    popWB()->resetTimer();
}

void PopManualView::updateAllAuto() {
    if (isUserManual())
        showRight("ALL AUTO", true);
    else
        hideRight(true);
}

std::vector<std::string> PopManualView::onMenuLabelViewGetArray(MenuLabelView&) {
    const std::string glyph = fa_stringForFontAwesomeIcon(kManualGlyph);
    const bool manual[] = {popFocus()->isUserManual(), popExp()->isUserManual(), popWB()->isUserManual()};
    std::vector<std::string> entries;
    for (int i = 0; i < 3; ++i) entries.push_back(std::string(kTitles[i]) + " " + (manual[i] ? glyph : ""));
    return entries;
}

void PopManualView::onMenuLabelViewLabelTap(MenuLabelView&, long index, UIButton& sender) {
    auto anchor = sender.self<UIButton>();
    std::shared_ptr<PopManualBase> control;
    switch (index) {
        case 0: control = popFocus(); break;
        case 1: control = popExp(); break;
        case 2: control = popWB(); break;
        default: return;
    }
    if (!control->isManualSupported())
        popInvalid()->show(anchor, std::string(kTitles[index]), [] {});
    else if (auto pop = std::dynamic_pointer_cast<PopManualControl>(control))
        pop->show(anchor, [] {});
    updateTitleBar();
}

void PopManualView::updateTitleBar() {
    bool covered = false;
    for (const std::shared_ptr<PopManualBase>& pop :
         {std::shared_ptr<PopManualBase>(popFocus_), std::shared_ptr<PopManualBase>(popExp_),
          std::shared_ptr<PopManualBase>(popWB_), std::shared_ptr<PopManualBase>(popInvalid_)})
        if (pop && !pop->hidden()) covered = true;
    titleView()->setAlpha(covered ? 0 : 1);
}

std::shared_ptr<DispatchQueue> PopManualView::onPopManualBaseGetQueue(PopManualBase&) {
    auto d = delegate();
    return d ? d->onPopManualBaseGetQueue(*this) : nullptr;
}

std::shared_ptr<AVCaptureDevice> PopManualView::onPopManualBaseGetDevice(PopManualBase&) {
    auto d = delegate();
    return d ? d->onPopManualBaseGetDevice(*this) : nullptr;
}

void PopManualView::onPopManualBaseChanged(PopManualBase& sender, bool manual) {
    if (sender.hidden()) updateAllAuto();
    if (manual == lastManual_) return;
    lastManual_ = manual;
    menu()->updateData();
    if (auto d = delegate()) d->onPopManualBaseChanged(*this, manual);
}

void PopManualView::onPopManualBaseDidHide(PopManualBase&) {
    updateAllAuto();
    updateTitleBar();
    menu()->resetSelection();
}
