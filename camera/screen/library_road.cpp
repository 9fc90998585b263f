// The photo picker opened from the camera screen's library button, the editor on the picked
// photo, and the way back to the camera.
#include "camera/screen/library_road.h"

#include "camera/overlays/guide_view.h"
#include "camera/screen/view_controller.h"
#include "platform/photos/ph_asset.h"
#include "platform/runtime/log.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/controller/view_controller_presentation.h"
#include "ui/popup/hud_view.h"

void LibraryRoad::onAsset() {
    auto screen = screen_.lock();
    if (!screen) return;
    otherVCActivating_ = true;
    if (auto guide = screen->views().guideView) guide->setHidden(true);
    // The picture's timers and any countdown or wait stop while the other screen is shown.
    screen->previewRoad()->resetTimerFade();
    screen->shots().cancel();
    screen->previewRoad()->resetTimerScreen();
    std::weak_ptr<LibraryRoad> weak = me();
    auto open = [weak] {
        if (auto road = weak.lock()) road->openPicker();
    };
    // Without a host there is nothing to stop and the stop would never answer.
    if (screen->hosts().stored() && screen->hosts().canStop()) {
        screen->stop(open);
    } else {
        open();
    }
}

void LibraryRoad::openPicker() {
    auto s = screen_.lock();
    if (!s) return;
    if (auto hud = s->hudView()) hud->show();
    s->updateStatusBar(true);
    auto picker = UIImagePickerController::make();
    picker->setSourceType(UIImagePickerControllerSourceType::PhotoLibrary);
    picker->setPickerDelegate(me());
    std::weak_ptr<ViewController> weak = s;
    presentFull(
        s, picker,
        [weak] {
            if (auto s2 = weak.lock())
                if (auto hud = s2->hudView()) hud->hide();
        },
        true);
}

void LibraryRoad::backToCamera(bool animated) {
    otherVCActivating_ = false;
    auto s = screen_.lock();
    if (!s) return;
    s->updateStatusBar(false);
    dismiss(s, nullptr, animated);
}

void LibraryRoad::imagePickerControllerDidCancel(UIImagePickerController&) {
    backToCamera(true);
}

void LibraryRoad::didFinishPickingMediaWithInfo(UIImagePickerController&, const ValueDictionary& info) {
    auto s = screen_.lock();
    if (!s) return;
    if (auto hud = s->hudView()) hud->show();
    s->updateStatusBar(false);
    std::shared_ptr<PHAsset> asset;
    const Value* url = info.find(UIImagePickerControllerReferenceURL);
    if (url && url->isString())
        if (auto id = assetIdentifierFromReferenceURL(url->stringValue())) {
            auto found = PHAsset::fetchAssetsWithLocalIdentifiers({*id});
            asset = found ? found->firstObject() : nullptr;
        }
    std::weak_ptr<LibraryRoad> weakRoad = me();
    std::weak_ptr<ViewController> weak = s;
    dismiss(
        s,
        [weakRoad, weak, asset] {
            auto road = weakRoad.lock();
            auto s = weak.lock();
            if (!road || !s) return;
            if (auto hud = s->hudView()) hud->hide();
            auto made = ::storyboard(s, "EditController");
            auto editor = std::dynamic_pointer_cast<AssetEditor>(made);
            if (!made || !editor) {
                // No editor to show: back to the camera as after a cancel.
                Log::warning("camera", "no photo editor could be made for the picked photo");
                road->otherVCActivating_ = false;
                s->updateStatusBar(false);
                s->start({});
                return;
            }
            editor->setDelegate(std::weak_ptr<EditControllerDelegate>(road));
            editor->setAsset(asset);
            s->updateStatusBar(true);
            presentFull(
                s, made,
                [weak] {
                    if (auto s2 = weak.lock())
                        if (auto hud = s2->hudView()) hud->hide();
                },
                false);
        },
        false);
}

void LibraryRoad::onEditControllerDone(const std::shared_ptr<UIViewController>&) {
    backToCamera(true);
}
