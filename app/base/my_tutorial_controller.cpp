// The tutorial state machine and its tap-catching layer.
#include "app/base/my_tutorial_controller.h"

#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/layout/view_custom_constraints.h"

namespace {
bool flag(const Value& dict, const char* key) {
    const Value& v = dict[key];
    return v.isNumber() && v.boolValue();
}
}  // namespace

MyTutorialController::TutorialState MyTutorialController::tutorialState() const {
    if (!tutorialActive()) return TutorialState::Idle;
    return currentIndex_ > static_cast<long>(tutorialDict_["arr"].count()) ? TutorialState::Finishing
                                                                             : TutorialState::Running;
}

std::shared_ptr<UIView> MyTutorialController::centerSender() const { return tutorialDict_["sender"].objectAs<UIView>(); }

void MyTutorialController::makeLayer() {
    if (!tutorialBg_) {
        tutorialBg_ = UIView::make();
        auto own = view();
        own->addSubview(tutorialBg_);
        addConstraintsFull(tutorialBg_, own, 0, 0, 0, 0);
        std::weak_ptr<MyTutorialController> weak = self<MyTutorialController>();
        UIViewAddGestureRecognizer(*tutorialBg_, UITapGestureRecognizer::make([weak](UIGestureRecognizer&) {
            if (auto strong = weak.lock()) strong->tutorialNext();
        }));
    }
    tutorialBg_->setUserInteractionEnabled(true);
    tutorialBg_->setHidden(false);
}

void MyTutorialController::dropLayer() {
    if (!tutorialBg_) return;
    tutorialBg_->removeFromSuperview();
    tutorialBg_.reset();
}

void MyTutorialController::tutorialStart() {
    pendingStop_.reset();
    makeLayer();
    tutorialDict_ = tutorialGetDictionary();
    if (!tutorialDict_.isDictionary()) tutorialDict_ = {};
    currentIndex_ = 0;
    if (centerSender() && !flag(tutorialDict_, "noCenterMessage")) {
        showCenterMessage("TUTORIAL");  // the first tap shows step 1
        return;
    }
    tutorialNext();
}

void MyTutorialController::tutorialNext() {
    if (!tutorialActive()) {
        tutorialStop();
        return;
    }
    const Value& steps = tutorialDict_["arr"];
    const long n = static_cast<long>(steps.count());
    const long i = currentIndex_;
    const bool numbered = !flag(tutorialDict_, "noNumberMessage");
    if (i < n) {
        const Value& step = steps[static_cast<std::size_t>(i)];
        const std::string text = step["text"].isString() ? step["text"].stringValue() : std::string();
        const std::string counter = std::to_string(i + 1) + "/" + std::to_string(n);
        if (auto sender = step["sender"].objectAs<UIView>()) {
            if (numbered) showCenterMessage(counter);
            showTextMessage(sender, text);
        } else if (numbered) {
            showCenterMessage(counter + ".\n" + text);
        }
        ++currentIndex_;
        return;
    }
    if (i == n) {
        hideTutorialViews(false);
        double delay = kStopDelayNoCenterMessage;
        if (!flag(tutorialDict_, "noCenterMessage")) {
            if (centerSender())
                showCenterMessage("DONE!");
            else
                showDoneToast("DONE!");
            delay = kStopDelay;
        }
        std::weak_ptr<MyTutorialController> weak = self<MyTutorialController>();
        pendingStop_.restart(delay, [weak] {
            if (auto strong = weak.lock()) strong->tutorialStop();
        });
        ++currentIndex_;
        return;
    }
    tutorialStop();
}

void MyTutorialController::tutorialStop() {
    pendingStop_.reset();
    hideTutorialViews(true);
    tutorialDict_ = {};
    dropLayer();
}

void MyTutorialController::viewWillDisappear(bool animated) {
    MyVolumeController::viewWillDisappear(animated);
    tutorialStop();
}

void MyTutorialController::updateDarkMode() { MyVolumeController::updateDarkMode(); }

void MyTutorialController::didRotateOrResizeInterface() { MyVolumeController::didRotateOrResizeInterface(); }

void MyTutorialController::showCenterMessage(const std::string&) {}

void MyTutorialController::showTextMessage(const std::shared_ptr<UIView>&, const std::string&) {}

void MyTutorialController::showDoneToast(const std::string& text) { toast(self<UIViewController>(), text); }

void MyTutorialController::hideTutorialViews(bool) {}
