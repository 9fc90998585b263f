// Where a web view on a page engine shows the page: the engine's latest picture as this view's
// contents, taps and drags handed to the engine as pointer input, and the keyboard focus held
// while the page's focused element takes text, the keys typed going to it. Main-thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/input/text_input_traits.h"
#include "platform/ui/view/ui_view.h"

class CGImage;
class WKWebEngine;

class WKEngineSurface : public UIView, public UIKeyInputView {
public:
    KORVA_MAKE(WKEngineSurface)
    void init() override;
    ~WKEngineSurface() override;

    // Borrowed from the web view, which clears it before the engine goes.
    void setEngine(WKWebEngine* engine);
    void showPicture(std::shared_ptr<CGImage> picture);
    // Takes the keyboard focus while the page's focused element takes text, and gives it up after.
    void followFocus(bool takesText);

    // Tells the engine the page area's size and scale when they changed.
    void updateViewport();
    void layoutSubviews() override;
    std::string className() const override { return "WKEngineSurface"; }

    // Keyboard focus for the page's fields.
    bool canBecomeFirstResponder() const override { return true; }
    bool isFirstResponder() const override { return FirstResponder::isCurrent(*this); }
    std::shared_ptr<UIView> keyInputView() override { return self<UIView>(); }
    const UITextInputTraits& inputTraits() const override { return traits_; }
    bool resignFirstResponder(bool force) override;
    void insertText(const std::string& text) override;
    void deleteBackward() override;
    void returnKeyPressed() override;

protected:
    explicit WKEngineSurface(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    WKWebEngine* engine_ = nullptr;
    CGSize viewport_ = CGSizeZero;
    CGFloat scale_ = 0;
    CGPoint lastPan_ = CGPointZero;
    UITextInputTraits traits_;
};
