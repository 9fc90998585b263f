// The keyboard's show, hide and frame-change sequence with its notifications.
#include "platform/ui/input/keyboard.h"

#include "platform/dispatch/notification_center.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/animation/ca_animation_engine.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_view_controller_transitioning.h"
#include "platform/ui/input/keyboard_view.h"

CGRect keyboardFrame(const Value& userInfo, const char* key) {
    const Value& v = userInfo[key];
    if (!v.isDictionary()) return CGRectZero;
    return CGRectMake(v["x"].doubleValue(), v["y"].doubleValue(), v["width"].doubleValue(), v["height"].doubleValue());
}

Value keyboardFrameValue(CGRect f) {
    return Value::dictionary(
        {{"x", f.origin.x}, {"y", f.origin.y}, {"width", f.size.width}, {"height", f.size.height}});
}

UIKeyboard& UIKeyboard::shared() {
    // Never destroyed: its views must not outlive the view system at exit.
    static UIKeyboard* keyboard = new UIKeyboard();
    return *keyboard;
}

bool UIKeyboard::type(const std::string& text) {
    auto input = FirstResponder::current();
    if (!input) return false;
    input->insertText(text);
    return true;
}

bool UIKeyboard::backspace() {
    auto input = FirstResponder::current();
    if (!input) return false;
    input->deleteBackward();
    return true;
}

bool UIKeyboard::pressReturn() {
    auto input = FirstResponder::current();
    if (!input) return false;
    input->returnKeyPressed();
    return true;
}

void UIKeyboard::post(const char* name, CGRect begin, CGRect end) {
    Value info = Value::dictionary({{UIKeyboardFrameBeginUserInfoKey, keyboardFrameValue(begin)},
                                    {UIKeyboardFrameEndUserInfoKey, keyboardFrameValue(end)},
                                    {UIKeyboardAnimationDurationUserInfoKey, kAnimationDuration},
                                    {UIKeyboardAnimationCurveUserInfoKey, 7},
                                    {UIKeyboardIsLocalUserInfoKey, true}});
    NSNotificationCenter::defaultCenter()->post(name, nullptr, info);
}

void UIKeyboard::rebuildHost(const std::shared_ptr<UIKeyInputView>& input, CGRect bounds) {
    if (host_) host_->removeFromSuperview();
    host_ = UIView::make(CGRectZero);
    auto accessory = input->inputAccessoryView();
    auto custom = input->inputView();
    CGFloat accessoryHeight = accessory ? accessory->frame().size.height : 0;
    CGFloat bodyHeight =
        custom ? custom->frame().size.height : KeyboardView::heightForWidth(bounds.size.width, bounds.size.height);
    CGFloat total = accessoryHeight + bodyHeight;
    frame_ = CGRectMake(bounds.origin.x, CGRectGetMaxY(bounds) - total, bounds.size.width, total);
    host_->setFrame(frame_);
    if (accessory) {
        accessory->setFrame(CGRectMake(0, 0, bounds.size.width, accessoryHeight));
        host_->addSubview(accessory);
    }
    std::shared_ptr<UIView> body = custom;
    if (!body) {
        keys_ = KeyboardView::make(CGRectZero);
        keys_->setTraits(input->inputTraits());
        body = keys_;
    }
    body->setFrame(CGRectMake(0, accessoryHeight, bounds.size.width, bodyHeight));
    host_->addSubview(body);
    accessory_ = accessory;
    inputView_ = custom;
}

void UIKeyboard::attach(const std::shared_ptr<UIKeyInputView>& input) {
    ++generation_;  // cancels a pending hide
    auto view = input->keyInputView();
    auto window = view ? std::static_pointer_cast<UIView>(view->window()) : nullptr;
    if (!window) return;
    if (!visible_ || window_.lock() != window) {
        if (visible_) reset();
        show(input);
        return;
    }
    // Another input while shown: only a different accessory or input view changes the frame.
    if (input->inputAccessoryView() == accessory_.lock() && input->inputView() == inputView_.lock()) {
        if (keys_) keys_->setTraits(input->inputTraits());
        return;
    }
    CGRect begin = frame_;
    rebuildHost(input, window->bounds());
    post(UIKeyboardWillChangeFrameNotification, begin, frame_);
    window->addSubview(host_);
    CGRect end = frame_;
    auto gen = generation_;
    RunLoop::main().performAfterDelay(kAnimationDuration, [this, gen, begin, end] {
        if (gen == generation_) post(UIKeyboardDidChangeFrameNotification, begin, end);
    });
}

void UIKeyboard::show(const std::shared_ptr<UIKeyInputView>& input) {
    auto window = input->keyInputView()->window();
    rebuildHost(input, window->bounds());
    window_ = std::static_pointer_cast<UIView>(window);
    visible_ = true;
    CGRect end = frame_;
    CGRect begin = CGRectOffset(end, 0, end.size.height);
    post(UIKeyboardWillChangeFrameNotification, begin, end);
    post(UIKeyboardWillShowNotification, begin, end);
    window->addSubview(host_);
    animateViewFrameFrom(*host_, begin, kAnimationDuration);
    auto gen = generation_;
    RunLoop::main().performAfterDelay(kAnimationDuration, [this, gen, begin, end] {
        if (gen != generation_ || !visible_) return;
        post(UIKeyboardDidShowNotification, begin, end);
        post(UIKeyboardDidChangeFrameNotification, begin, end);
    });
}

void UIKeyboard::detachSoon() {
    auto gen = ++generation_;
    RunLoop::main().perform([this, gen] {
        if (gen == generation_) hideIfUnfocused();
    });
}

void UIKeyboard::hideIfUnfocused() {
    if (!visible_ || FirstResponder::current()) return;
    CGRect begin = frame_;
    CGRect end = CGRectOffset(begin, 0, begin.size.height);
    visible_ = false;
    post(UIKeyboardWillChangeFrameNotification, begin, end);
    post(UIKeyboardWillHideNotification, begin, end);
    auto host = host_;
    if (host) {
        auto anim = CABasicAnimation::animationWithKeyPath("position");
        anim->setFromValue(CGPoint{CGRectGetMidX(begin), CGRectGetMidY(begin)});
        anim->setToValue(CGPoint{CGRectGetMidX(end), CGRectGetMidY(end)});
        anim->setDuration(kAnimationDuration);
        anim->setFillMode(CAFillMode::Forwards);
        anim->setRemovedOnCompletion(false);
        CAAnimationEngine::addAnimation(host->layer(), anim, "korva.keyboard.out");
    }
    auto gen = ++generation_;
    RunLoop::main().performAfterDelay(kAnimationDuration, [this, gen, host, begin, end] {
        if (host) host->removeFromSuperview();
        if (gen != generation_) return;
        if (host_ == host) host_.reset();
        keys_.reset();
        post(UIKeyboardDidHideNotification, begin, end);
        post(UIKeyboardDidChangeFrameNotification, begin, end);
    });
}

void UIKeyboard::reset() {
    ++generation_;
    if (host_) host_->removeFromSuperview();
    host_.reset();
    keys_.reset();
    visible_ = false;
    frame_ = CGRectZero;
    window_.reset();
}
