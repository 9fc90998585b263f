// The tutorial state machine and its tap-catching layer.
#include "app/base/my_tutorial_controller.h"

#include "foundation/global.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/paragraph_style.h"
#include "ui/controller/view_controller_dialogs.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/popup/pop_message_view.h"
#include "ui/popup/pop_text_view.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"

namespace {
bool flag(const Value& dict, const char* key) {
    const Value& v = dict[key];
    return v.isNumber() && v.boolValue();
}

bool multiline(const std::string& text) {
    return text.find('\n') != std::string::npos;
}

// The text in one font and the tutorial's text colour over its whole length.
std::shared_ptr<NSMutableAttributedString> tutorialString(const std::string& text,
                                                          const std::shared_ptr<UIFont>& font) {
    auto string = NSMutableAttributedString::make(text);
    const NSRange all{0, string->length()};
    string->addAttribute(NSFontAttributeName, Value(font), all);
    string->addAttribute(NSForegroundColorAttributeName, Value(Global::shared()->color()->tutorialfg()), all);
    return string;
}

}  // namespace

MyTutorialController::TutorialState MyTutorialController::tutorialState() const {
    if (!tutorialActive()) return TutorialState::Idle;
    return currentIndex_ > static_cast<long>(tutorialDict_["arr"].count()) ? TutorialState::Finishing
                                                                           : TutorialState::Running;
}

std::shared_ptr<UIView> MyTutorialController::centerSender() const {
    return tutorialDict_["sender"].objectAs<UIView>();
}

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

void MyTutorialController::updateDarkMode() {
    MyVolumeController::updateDarkMode();
    if (tutorialMsg_) tutorialMsg_->updateDarkMode();
    if (tutorialText_) tutorialText_->updateDarkMode();
}

void MyTutorialController::didRotateOrResizeInterface() {
    MyVolumeController::didRotateOrResizeInterface();
    if (tutorialMsg_) tutorialMsg_->scheduledLayout();
    if (tutorialText_) tutorialText_->scheduledLayout();
}

namespace {

// The message and the bubble lie over the tap-catching layer: a tap on them advances too.
void advanceOnTap(UIView& view, std::weak_ptr<MyTutorialController> weak) {
    UIViewAddGestureRecognizer(view, UITapGestureRecognizer::make([weak](UIGestureRecognizer&) {
                                   if (auto strong = weak.lock(); strong && strong->tutorialActive())
                                       strong->tutorialNext();
                               }));
}

}  // namespace

const std::shared_ptr<PopMessageView>& MyTutorialController::tutorialMsg() {
    if (!tutorialMsg_) {
        tutorialMsg_ = PopMessageView::make(self<UIViewController>());
        tutorialMsg_->setBgColor(Global::shared()->color()->tutorialbg());
        advanceOnTap(*tutorialMsg_->container(), self<MyTutorialController>());
    }
    return tutorialMsg_;
}

const std::shared_ptr<PopTextView>& MyTutorialController::tutorialText() {
    if (!tutorialText_) {
        tutorialText_ = PopTextView::make(self<UIViewController>());
        tutorialText_->setBgColor(Global::shared()->color()->tutorialbg());
        advanceOnTap(*tutorialText_->container(), self<MyTutorialController>());
    }
    return tutorialText_;
}

void MyTutorialController::showCenterMessage(const std::string& text) {
    auto sender = centerSender();
    if (!sender) return;
    auto font = Global::shared()->font();
    tutorialMsg()->setAttributedText(
        tutorialString(text, multiline(text) ? font->textFixedNormal() : font->iconFixedLarge3()));
    // The message keeps clear of the bubble.
    tutorialMsg()->setAvoidView(tutorialText()->container());
    tutorialMsg()->show(
        sender, [] {}, nullptr);
}

void MyTutorialController::showTextMessage(const std::shared_ptr<UIView>& sender, const std::string& text) {
    auto string = tutorialString(text, Global::shared()->font()->textFixedLarge1());
    auto paragraph = NSParagraphStyle::make();
    paragraph->alignment = multiline(text) ? NSTextAlignment::Left : NSTextAlignment::Center;
    string->addAttribute(NSParagraphStyleAttributeName, Value(paragraph), {0, string->length()});
    auto& bubble = tutorialText();
    bubble->setAttributedText(string);
    bubble->bg()->setBackgroundColor(UIColor::clearColor());
    bubble->setShowAboveIfBothAvailable(true);
    std::weak_ptr<MyTutorialController> weak = self<MyTutorialController>();
    bubble->show(
        sender,
        [weak] {
            // The centred message moves clear of the new bubble.
            if (auto strong = weak.lock(); strong && strong->tutorialMsg_) strong->tutorialMsg_->scheduledLayout();
        },
        nullptr);
}

void MyTutorialController::showDoneToast(const std::string& text) {
    toast(self<UIViewController>(), text);
}

void MyTutorialController::hideTutorialViews(bool message) {
    hideAndDrop(&MyTutorialController::tutorialText_);
    if (message) hideAndDrop(&MyTutorialController::tutorialMsg_);
}

template <class Pop>
void MyTutorialController::hideAndDrop(std::shared_ptr<Pop> MyTutorialController::*slot) {
    auto& pop = this->*slot;
    if (!pop) return;
    std::weak_ptr<MyTutorialController> weak = self<MyTutorialController>();
    std::weak_ptr<Pop> weakPop = pop;
    // Dropped once it has really gone: a show that came in meanwhile keeps it.
    pop->hide([weak, weakPop, slot] {
        auto strong = weak.lock();
        auto hidden = weakPop.lock();
        if (!strong || !hidden || hidden->phase() != PopPhase::Hidden || strong.get()->*slot != hidden) return;
        hidden->removeFromSuperview();
        (strong.get()->*slot).reset();
    });
}
