// The camera screen's pop-ups: how each is made and opened, and what the screen does for each of
// their callbacks.
#include "camera/screen/camera_popups.h"

#include "app/sidebar/side_menu.h"
#include "camera/controls/pop_manual_exp_view.h"
#include "camera/controls/pop_manual_focus_view.h"
#include "camera/controls/pop_manual_wb_view.h"
#include "camera/overlays/guide_view.h"
#include "camera/screen/flash_setting.h"
#include "camera/screen/view_controller.h"
#include "capture/capture_device_custom.h"
#include "editor/browser/filter_list_view.h"
#include "filter/filter_context.h"
#include "filter/filter_my_element.h"
#include "filter/filter_persist_element.h"
#include "foundation/global.h"
#include "platform/capture/av_capture_device.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/draw/color.h"
#include "ui/controller/view_controller_dialogs.h"

namespace {
constexpr CGFloat kManualBackdropAlpha = 0.7;
constexpr double kGuideFade = 0.5;
constexpr const char* kTemperatureAndTint = "CITemperatureAndTint";
}  // namespace

std::shared_ptr<UIViewController> CameraPopups::owner() const {
    auto screen = screen_.lock();
    return screen ? screen->self<UIViewController>() : nullptr;
}

std::shared_ptr<PopFilterMainView> CameraPopups::filter() {
    if (!filter_) {
        filter_ = PopFilterMainView::make(owner(), std::shared_ptr<FilterAttrDelegate>(me()));
        filter_->setDelegate(me());
        filter_->setShowAboveIfBothAvailable(true);
    }
    return filter_;
}

std::shared_ptr<PopOptionView> CameraPopups::option() {
    if (!option_) {
        option_ = PopOptionView::make(owner());
        option_->setDelegate(me());
        option_->setShowAboveIfBothAvailable(true);
    }
    return option_;
}

std::shared_ptr<PopManualView> CameraPopups::manual() {
    if (!manual_) {
        manual_ = PopManualView::make(owner());
        manual_->setDelegate(me());
        manual_->setShowAboveIfBothAvailable(true);
        if (auto bg = manual_->bg()) bg->setBackgroundColor(UIColor::clearColor());
        manual_->setBgColor(UIColor::colorWithWhite(0, kManualBackdropAlpha));
    }
    return manual_;
}

std::shared_ptr<PopLeftView> CameraPopups::left() {
    if (!left_) {
        left_ = PopLeftView::make(owner());
        left_->setDelegate(me());
    }
    return left_;
}

void CameraPopups::onFilter(const std::shared_ptr<UIView>& sender) {
    auto screen = screen_.lock();
    if (!screen) return;
    filter()->show(sender, weakBind<MyAdController>(screen, &MyAdController::restartAd));
}

void CameraPopups::onOption() {
    auto screen = screen_.lock();
    if (!screen) return;
    option()->show(
        std::static_pointer_cast<NSObject>(screen->views().btnOption), [] {}, [] {});
}

void CameraPopups::onManual(const std::shared_ptr<UIView>& sender) {
    auto screen = screen_.lock();
    if (!screen) return;
    auto pop = manual();
    if (!pop->isManualSupported()) {
        alert("MANUAL CONTROL NOT SUPPORTED", [] {});
        return;
    }
    pop->show(std::static_pointer_cast<NSObject>(sender), weakBind<MyAdController>(screen, &MyAdController::restartAd));
}

void CameraPopups::onMenu(const std::shared_ptr<UIView>& sender) {
    left()->show(sender);
}

void CameraPopups::hideFilter() {
    if (filter_ && !filter_->hidden()) filter_->hide([] {});
}

void CameraPopups::hideManual() {
    if (manual_ && !manual_->hidden()) manual_->hide([] {});
}

void CameraPopups::captureDidStart() {
    if (!manual_ || !manual_->isUserManual()) return;
    for (const std::shared_ptr<PopManualControl>& control :
         {std::shared_ptr<PopManualControl>(manual_->popFocus()), std::shared_ptr<PopManualControl>(manual_->popExp()),
          std::shared_ptr<PopManualControl>(manual_->popWB())})
        control->captureDidStart();
}

void CameraPopups::bringShownToFront() {
    for (const std::shared_ptr<PopView>& pop :
         {std::static_pointer_cast<PopView>(filter_), std::static_pointer_cast<PopView>(manual_),
          std::static_pointer_cast<PopView>(option_), std::static_pointer_cast<PopView>(left_)})
        if (pop && !pop->hidden()) pop->bringToFront();
}

// --- Filter browser ---

std::shared_ptr<CIImage> CameraPopups::onFilterSourceGetImage() {
    auto screen = screen_.lock();
    return screen ? screen->previewRoad()->lastFilter() : nullptr;
}

std::shared_ptr<FilterContext> CameraPopups::onFilterSourceGetContext() {
    auto screen = screen_.lock();
    auto host = screen ? screen->hosts().stored() : nullptr;
    return host ? host->context() : nullptr;
}

void CameraPopups::onFilterAttrChanged(const std::shared_ptr<FilterElement>& element) {
    if (auto screen = screen_.lock())
        screen->setScreenElement(element ? FilterMyElement::withFilterElement(*element) : nullptr);
}

void CameraPopups::onPopFilterMainViewFilterSelected(PopFilterMainView&,
                                                     const std::shared_ptr<FilterPersistElement>& element) {
    auto screen = screen_.lock();
    if (!screen) return;
    onFilterAttrChanged(element);
    const auto& chosen = screen->screenElement();
    Global::shared()->setLastFilterName(chosen ? std::optional<std::string>(chosen->displayName()) : std::nullopt);
    screen->updateView();
}

void CameraPopups::onPopFilterMainViewDidShow(PopFilterMainView&) {
    auto screen = screen_.lock();
    if (!screen) return;
    if (auto host = screen->hosts().stored()) host->restartCamera([](bool) {});
    screen->updateView();
}

void CameraPopups::onFilterAttrBeforeInitialize(const std::string& filterName, const std::string& key,
                                                const Value& record) {
    if (filterName != kTemperatureAndTint || (key != "inputNeutral" && key != "inputTargetNeutral")) return;
    // Without a camera the record keeps the bounds it has.
    auto screen = screen_.lock();
    auto dev = screen ? screen->hosts().device() : nullptr;
    if (!dev) return;
    auto pair = [](std::pair<float, float> tt) { return Value::array({Value(tt.first), Value(tt.second)}); };
    record.set("min", pair(minTemperatureAndTint(*dev)));
    record.set("max", pair(maxTemperatureAndTint(*dev)));
}

// --- Option pop-up ---

void CameraPopups::onPopOptionViewFlash(PopOptionView&) {
    auto screen = screen_.lock();
    if (!screen) return;
    auto global = Global::shared();
    auto device = screen->hosts().device();
    if (applyFlashSetting(device)) {
        global->saveCurrentSettings();
        return;
    }
    for (int i = 0; i < 3; ++i) {
        const FlashMode mode = nextFlashMode(global->flashMode());
        global->setFlashMode(mode);
        if (mode == FlashMode::Off) global->saveCurrentSettings();
        if (applyFlashSetting(device)) {
            global->saveCurrentSettings();
            break;
        }
    }
    const char* side = global->position() == CameraSide::Front ? "FRONT" : "BACK";
    alert(std::string("FLASH NOT SUPPORTED\n") + side + " CAMERA", [] {});
    screen->updateView();
}

void CameraPopups::onPopOptionViewSwap(PopOptionView&) {
    auto screen = screen_.lock();
    if (!screen) return;
    screen->onSwap();
    screen->updateView();
}

void CameraPopups::onPopOptionViewTimer(PopOptionView&) {
    Global::shared()->saveCurrentSettings();
    if (auto screen = screen_.lock()) screen->updateView();
}

void CameraPopups::onPopOptionViewGrid(PopOptionView&) {
    auto screen = screen_.lock();
    if (!screen) return;
    Global::shared()->saveCurrentSettings();
    screen->updateView();
    auto guide = screen->views().guideView;
    if (!guide) return;
    if (auto parent = guide->superview()) parent->bringSubviewToFront(guide);
    // A newly shown guide fades in; a hidden one is faded out for its next showing.
    const bool hidden = guide->isHidden();
    guide->setAlpha(hidden ? 1 : 0);
    UIViewAnimation::animate(kGuideFade, [guide, hidden] { guide->setAlpha(hidden ? 0 : 1); });
}

void CameraPopups::onPopOptionViewImageRatio(PopOptionView&) {
    auto screen = screen_.lock();
    if (!screen) return;
    Global::shared()->saveCurrentSettings();
    screen->updateData();
    hideFilter();
    hideManual();
    if (manual_) manual_->resetTimer();
    screen->restartCamera(false);
    screen->updateView();
}

void CameraPopups::onPopOptionViewShotMode(PopOptionView& sender) {
    // Stored at the choice: the pop-up's hiding may be cut short (a tap outside it, the screen
    // going), and its completion with it.
    Global::shared()->saveCurrentSettings();
    std::weak_ptr<CameraPopups> weak = me();
    sender.hide([weak] {
        auto pops = weak.lock();
        auto screen = pops ? pops->screen_.lock() : nullptr;
        if (!screen) return;
        screen->updateData();
        pops->hideFilter();
        pops->hideManual();
        if (pops->manual_) pops->manual_->resetTimer();
        screen->restartCamera(true);
    });
}

void CameraPopups::onPopOptionViewWillHide(PopOptionView&) {
    auto screen = screen_.lock();
    if (!screen) return;
    if (auto host = screen->hosts().stored()) host->restartCamera([](bool) {});
    screen->updateView();
}

// --- Manual controls ---

std::shared_ptr<DispatchQueue> CameraPopups::onPopManualBaseGetQueue(PopManualBase&) {
    auto screen = screen_.lock();
    auto host = screen ? screen->hosts().stored() : nullptr;
    return host ? host->q() : nullptr;
}

std::shared_ptr<AVCaptureDevice> CameraPopups::onPopManualBaseGetDevice(PopManualBase&) {
    // Also asked from the capture queue: reads the stored host under its lock, never makes one.
    auto screen = screen_.lock();
    return screen ? screen->hosts().device() : nullptr;
}

void CameraPopups::onPopManualBaseChanged(PopManualBase&, bool) {
    if (auto screen = screen_.lock()) screen->updateView();
}
void CameraPopups::onPopManualBaseDidHide(PopManualBase&) {}
void CameraPopups::onPopManualViewDidShow(PopManualView&) {}

// --- Side drawer ---

void CameraPopups::onPopLeftViewDidShow(PopLeftView& pop) {
    if (auto menu = std::dynamic_pointer_cast<SideMenu>(pop.dict())) menu->onDidShow();
}

void CameraPopups::onPopLeftViewWillHide(PopLeftView&) {
    auto screen = screen_.lock();
    if (!screen) return;
    if (manual_) manual_->resetTimer();
    std::weak_ptr<CameraPopups> weak = me();
    screen->restart([weak] {
        auto pops = weak.lock();
        auto screen = pops ? pops->screen_.lock() : nullptr;
        if (!screen) return;
        if (pops->manual_) pops->manual_->setAuto();
        screen->updateView();
    });
}

// --- Alerts ---

void CameraPopups::alert(const std::string& message, std::function<void()> onOK) {
    if (auto vc = owner()) ::alert(vc, message, std::move(onOK));
}

void CameraPopups::confirm(const std::string& message, std::function<void()> onYes, std::function<void()> onNo) {
    if (auto vc = owner()) ::confirm(vc, message, std::move(onYes), std::move(onNo));
}

void CameraPopups::openDeviceSettings() {
    ::openDeviceSettings();
}
