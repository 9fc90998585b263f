// The buttons that open the camera screen's pop-ups and what the screen does for each of their
// callbacks: option and manual-control pop-ups, the side drawer, the camera swap, the photo picker
// with the hand-off to the editor.
#include "camera/screen/view_controller.h"

#include "camera/overlays/guide_view.h"
#include "foundation/global.h"
#include "platform/photos/ph_asset.h"
#include "platform/runtime/log.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/controller/view_controller_presentation.h"
#include "ui/popup/hud_view.h"

namespace {
constexpr double kGuideFade = 0.5;
}

void ViewController::hideManual() {
    if (popManual_ && !popManual_->hidden()) popManual_->hide([] {});
}

void ViewController::onOption() { popOption()->show(std::static_pointer_cast<NSObject>(btnOption_), [] {}, [] {}); }

void ViewController::onManual(const std::shared_ptr<UIView>& sender) {
    auto pop = popManual();
    if (!pop->isManualSupported()) {
        alert("MANUAL CONTROL NOT SUPPORTED", [] {});
        return;
    }
    pop->show(std::static_pointer_cast<NSObject>(sender), weakBind<MyAdController>(me(), &MyAdController::restartAd));
}

void ViewController::onMenu(const std::shared_ptr<UIView>& sender) { popLeft()->show(sender); }

void ViewController::onHelp() { tutorialStart(); }

void ViewController::syncPositionWithHost() {
    auto host = currentMaker();
    if (!host) return;
    auto global = Global::shared();
    if (integerOf(global->position()) != host->position()) {
        global->setPosition(settingFromInteger<CameraSide>(host->position()));
        global->saveCurrentSettings();
    }
}

void ViewController::afterCameraRestart(bool refreshOption) {
    if (popManual_) popManual_->setAuto();
    syncPositionWithHost();
    updateView();
    if (refreshOption && popOption_ && !popOption_->hidden()) popOption_->updateView();
}

void ViewController::onSwap() {
    hideFilter();
    hideManual();
    lastFocused_ = {0.5, 0.5};
    if (popManual_) popManual_->resetTimer();
    auto host = currentMaker();
    if (!host) return;
    host->switchCamera(weakBind(me(), &ViewController::onCameraRestarted));
}

void ViewController::onCameraAssistantVolumeDblButton(const std::shared_ptr<CameraAssistant>&) {
    onSwap();
    updateView();
}

// --- Option pop-up: the pop-up has already written its setting ---

void ViewController::onPopOptionViewFlash(PopOptionView&) {
    auto global = Global::shared();
    if (updateFlash()) {
        global->saveCurrentSettings();
        return;
    }
    for (int i = 0; i < 3; ++i) {
        const FlashMode mode = nextFlashMode(global->flashMode());
        global->setFlashMode(mode);
        if (mode == FlashMode::Off) global->saveCurrentSettings();
        if (updateFlash()) {
            global->saveCurrentSettings();
            break;
        }
    }
    const char* side = global->position() == CameraSide::Front ? "FRONT" : "BACK";
    alert(std::string("FLASH NOT SUPPORTED\n") + side + " CAMERA", [] {});
    updateView();
}

void ViewController::onPopOptionViewSwap(PopOptionView&) {
    onSwap();
    updateView();
}

void ViewController::onPopOptionViewTimer(PopOptionView&) {
    Global::shared()->saveCurrentSettings();
    updateView();
}

void ViewController::onPopOptionViewGrid(PopOptionView&) {
    Global::shared()->saveCurrentSettings();
    updateView();
    if (!guideView_) return;
    if (auto parent = guideView_->superview()) parent->bringSubviewToFront(guideView_);
    // A newly shown guide fades in; a hidden one is faded out for its next showing.
    const bool hidden = guideView_->isHidden();
    auto guide = guideView_;
    guide->setAlpha(hidden ? 1 : 0);
    UIViewAnimation::animate(kGuideFade, [guide, hidden] { guide->setAlpha(hidden ? 0 : 1); });
}

void ViewController::onPopOptionViewImageRatio(PopOptionView&) {
    Global::shared()->saveCurrentSettings();
    updateData();
    hideFilter();
    hideManual();
    if (popManual_) popManual_->resetTimer();
    if (auto host = currentMaker()) host->restartCamera(weakBind(me(), &ViewController::onCameraRestarted));
    updateView();
}

void ViewController::onPopOptionViewShotMode(PopOptionView& sender) {
    std::weak_ptr<ViewController> weak = me();
    sender.hide([weak] {
        auto s = weak.lock();
        if (!s) return;
        Global::shared()->saveCurrentSettings();
        s->updateData();
        s->hideFilter();
        s->hideManual();
        if (s->popManual_) s->popManual_->resetTimer();
        if (auto host = s->currentMaker())
            host->restartCamera(weakBind(s, &ViewController::onCameraRestartedQuietly));
    });
}

void ViewController::onPopOptionViewWillHide(PopOptionView&) {
    if (auto host = currentMaker()) host->restartCamera([](bool) {});
    updateView();
}

// --- Manual pop-up ---

std::shared_ptr<DispatchQueue> ViewController::onPopManualBaseGetQueue(PopManualBase&) {
    auto host = currentMaker();
    return host ? host->q() : nullptr;
}

std::shared_ptr<AVCaptureDevice> ViewController::onPopManualBaseGetDevice(PopManualBase&) {
    // Also asked from the capture queue: reads the stored host under its lock, never makes one.
    return device();
}

void ViewController::onPopManualBaseChanged(PopManualBase&, bool) { updateView(); }
void ViewController::onPopManualBaseDidHide(PopManualBase&) {}
void ViewController::onPopManualViewDidShow(PopManualView&) {}

// --- Side drawer ---

void ViewController::onPopLeftViewDidShow(PopLeftView& pop) {
    if (auto menu = std::dynamic_pointer_cast<SideMenu>(pop.dict())) menu->onDidShow();
}

void ViewController::onPopLeftViewWillHide(PopLeftView&) {
    if (popManual_) popManual_->resetTimer();
    std::weak_ptr<ViewController> weak = me();
    restart([weak] {
        auto s = weak.lock();
        if (!s) return;
        if (s->popManual_) s->popManual_->setAuto();
        s->updateView();
    });
}

// --- Photo picker and editor ---

bool ViewController::stopTimersForOtherScreen() {
    road_->resetTimerFade();
    if (shots_) shots_->cancel();
    road_->resetTimerScreen();
    return true;
}

void ViewController::onAsset() {
    otherVCActivating_ = true;
    if (guideView_) guideView_->setHidden(true);
    stopTimersForOtherScreen();
    std::weak_ptr<ViewController> weak = me();
    auto open = [weak] {
        auto s = weak.lock();
        if (!s) return;
        if (auto hud = s->hudView()) hud->show();
        s->updateStatusBar(true);
        auto picker = UIImagePickerController::make();
        picker->setSourceType(UIImagePickerControllerSourceType::PhotoLibrary);
        picker->setPickerDelegate(std::shared_ptr<UIImagePickerControllerDelegate>(
            s, static_cast<UIImagePickerControllerDelegate*>(s.get())));
        presentFull(s, picker, [weak] {
            if (auto s2 = weak.lock())
                if (auto hud = s2->hudView()) hud->hide();
        }, true);
    };
    // Without a host there is nothing to stop and the stop would never answer.
    if (currentMaker() && capture_.canStop()) {
        stop(open);
    } else {
        open();
    }
}

void ViewController::dismissOtherScreen(bool animated) {
    otherVCActivating_ = false;
    updateStatusBar(false);
    dismiss(me(), nullptr, animated);
}

void ViewController::imagePickerControllerDidCancel(UIImagePickerController&) { dismissOtherScreen(true); }

void ViewController::didFinishPickingMediaWithInfo(UIImagePickerController&, const ValueDictionary& info) {
    if (auto hud = hudView()) hud->show();
    updateStatusBar(false);
    std::shared_ptr<PHAsset> asset;
    const Value* url = info.find(UIImagePickerControllerReferenceURL);
    if (url && url->isString())
        if (auto id = assetIdentifierFromReferenceURL(url->stringValue())) {
            auto found = PHAsset::fetchAssetsWithLocalIdentifiers({*id});
            asset = found ? found->firstObject() : nullptr;
        }
    std::weak_ptr<ViewController> weak = me();
    dismiss(me(), [weak, asset] {
        auto s = weak.lock();
        if (!s) return;
        if (auto hud = s->hudView()) hud->hide();
        auto made = ::storyboard(s, "EditController");
        auto editor = std::dynamic_pointer_cast<AssetEditor>(made);
        if (!made || !editor) {
            // No editor to show: back to the camera as after a cancel.
            Log::warning("camera", "no photo editor could be made for the picked photo");
            s->otherVCActivating_ = false;
            s->updateStatusBar(false);
            s->start({});
            return;
        }
        editor->setDelegate(std::weak_ptr<EditControllerDelegate>(s));
        editor->setAsset(asset);
        s->updateStatusBar(true);
        presentFull(s, made, [weak] {
            if (auto s2 = weak.lock())
                if (auto hud = s2->hudView()) hud->hide();
        }, false);
    }, false);
}

void ViewController::onEditControllerDone(const std::shared_ptr<UIViewController>&) { dismissOtherScreen(true); }

// --- Presenter of the assistant's dialogs ---

void ViewController::alert(const std::string& message, std::function<void()> onOK) {
    ::alert(self<UIViewController>(), message, std::move(onOK));
}

void ViewController::confirm(const std::string& message, std::function<void()> onYes, std::function<void()> onNo) {
    ::confirm(self<UIViewController>(), message, std::move(onYes), std::move(onNo));
}

void ViewController::openDeviceSettings() { ::openDeviceSettings(); }
