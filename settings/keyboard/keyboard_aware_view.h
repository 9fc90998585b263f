// The behaviour the keyboard-aware scroll, table and collection views share, put on top of their
// platform class: keyboard notifications observed from the start, the content inset following
// frame and content-size changes, the Return keys wired 0.1 s after the last layout, a tap
// outside the fields ending the editing, and Return moving on to the next field. Main-thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/dispatch/notification_center.h"
#include "platform/dispatch/run_loop.h"
#include "platform/ui/input/keyboard.h"
#include "platform/ui/input/text_input_traits.h"
#include "platform/ui/input/ui_text_view.h"
#include "settings/keyboard/scroll_view_keyboard_aware.h"

template <class Base, KeyboardAwareKind Kind>
class KeyboardAwareView : public Base, public UITextFieldDelegate {
public:
    static constexpr double kWiringDelay = 0.1;

    ~KeyboardAwareView() override {
        auto center = NSNotificationCenter::defaultCenter();
        for (const auto& token : observers_) center->removeObserver(token);
        if (wiring_) wiring_->invalidate();
    }

    // Whether the platform avoids the keyboard by itself for this view (then it does nothing).
    virtual bool hasAutomaticKeyboardAvoidingBehaviour() const { return false; }

    void setupKeyboardAvoiding() {
        if (hasAutomaticKeyboardAvoidingBehaviour() || !observers_.empty()) return;
        auto center = NSNotificationCenter::defaultCenter();
        std::weak_ptr<KeyboardAwareView> weak =
            std::static_pointer_cast<KeyboardAwareView>(this->template self<UIView>());
        auto on = [&](const char* name, void (*action)(KeyboardAwareView&, const Value&)) {
            observers_.push_back(
                center->addObserver(name, nullptr, nullptr, [weak, action](const std::shared_ptr<NSNotification>& n) {
                    auto v = weak.lock();
                    if (v && !v->hasAutomaticKeyboardAvoidingBehaviour()) action(*v, n->userInfo());
                }));
        };
        on(UIKeyboardWillChangeFrameNotification,
           [](KeyboardAwareView& v, const Value& info) { KeyboardAware_keyboardWillShow(v, info, Kind); });
        on(UIKeyboardWillHideNotification,
           [](KeyboardAwareView& v, const Value& info) { KeyboardAware_keyboardWillHide(v, info, Kind); });
        on(UITextFieldTextDidBeginEditingNotification,
           [](KeyboardAwareView& v, const Value&) { v.scrollToActiveTextField(); });
        on(UITextViewTextDidBeginEditingNotification,
           [](KeyboardAwareView& v, const Value&) { v.scrollToActiveTextField(); });
    }

    bool focusNextTextField() { return KeyboardAware_focusNextTextField(*this); }
    void scrollToActiveTextField() { KeyboardAware_scrollToActiveTextField(*this); }

    void setFrame(CGRect frame) override {
        Base::setFrame(frame);
        if (Kind == KeyboardAwareKind::Table && hasAutomaticKeyboardAvoidingBehaviour()) return;
        KeyboardAware_updateContentInset(*this);
    }

    void setContentSize(CGSize size) override {
        if constexpr (Kind == KeyboardAwareKind::Scroll) {
            Base::setContentSize(size);
            KeyboardAware_updateFromContentSizeChange(*this);
        } else {
            if (Kind == KeyboardAwareKind::Table && hasAutomaticKeyboardAvoidingBehaviour()) {
                Base::setContentSize(size);
                return;
            }
            if (size == this->contentSize()) return;
            Base::setContentSize(size);
            KeyboardAware_updateContentInset(*this);
        }
    }

    void layoutSubviews() override {
        Base::layoutSubviews();
        // Layouts come in bursts: the wiring waits for the last of them.
        if (wiring_) wiring_->invalidate();
        std::weak_ptr<KeyboardAwareView> weak =
            std::static_pointer_cast<KeyboardAwareView>(this->template self<UIView>());
        wiring_ = RunLoop::main().performAfterDelay(kWiringDelay, [weak] {
            if (auto v = weak.lock()) {
                v->wiring_.reset();
                v->wirings_++;
                KeyboardAware_assignTextDelegateForViewsBeneathView(*v, *v,
                                                                    std::static_pointer_cast<UITextFieldDelegate>(v));
            }
        });
    }

    void willMoveToSuperview(const std::shared_ptr<UIView>& superview) override {
        Base::willMoveToSuperview(superview);
        if (!superview && wiring_) {
            wiring_->invalidate();
            wiring_.reset();
        }
    }

    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override {
        if (KeyboardAware_findFirstResponderBeneathView(*this)) endEditing(*this, true);
        Base::touchesEnded(touches, event);
    }

    bool textFieldShouldReturn(UITextField& field) override {
        if (!focusNextTextField()) field.resignFirstResponder();
        return true;
    }

    // How many times the Return keys were wired (one per burst of layouts).
    int wiringCount() const { return wirings_; }

    void init() override {
        Base::init();
        setupKeyboardAvoiding();
    }

protected:
    using Base::Base;

private:
    std::vector<std::shared_ptr<NSObject>> observers_;
    std::shared_ptr<NSTimer> wiring_;
    int wirings_ = 0;
};
