// The engine surface: pictures in, pointer input and keys out.
#include "platform/ui/controller/wk_engine_surface.h"

#include "platform/image/cg_image.h"
#include "platform/ui/animation/ca_transaction.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/wk_web_engine.h"
#include "platform/ui/gesture/ui_pan_gesture_recognizer.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/input/keyboard.h"

void WKEngineSurface::init() {
    UIView::init();
    setUserInteractionEnabled(true);
    setBackgroundColor(UIColor::whiteColor());
    std::weak_ptr<WKEngineSurface> weak = self<WKEngineSurface>();
    UIViewAddGestureRecognizer(*this, UITapGestureRecognizer::make([weak](UIGestureRecognizer& tap) {
        auto me = weak.lock();
        if (me && me->engine_ && tap.state() == UIGestureRecognizerState::Ended)
            me->engine_->tap(tap.locationInView(me));
    }));
    UIViewAddGestureRecognizer(*this, UIPanGestureRecognizer::make([weak](UIGestureRecognizer& g) {
        auto me = weak.lock();
        auto& pan = static_cast<UIPanGestureRecognizer&>(g);
        if (!me || !me->engine_) return;
        if (pan.state() == UIGestureRecognizerState::Began) me->lastPan_ = CGPointZero;
        if (pan.state() != UIGestureRecognizerState::Began && pan.state() != UIGestureRecognizerState::Changed) return;
        CGPoint t = pan.translationInView(me);
        // Content follows the finger: dragging up scrolls the page down.
        me->engine_->scrollBy(CGPoint{me->lastPan_.x - t.x, me->lastPan_.y - t.y});
        me->lastPan_ = t;
    }));
}

// A surface that goes away while it holds the focus takes the keyboard down with it.
WKEngineSurface::~WKEngineSurface() {
    if (!FirstResponder::current()) UIKeyboard::shared().detachSoon();
}

void WKEngineSurface::setEngine(WKWebEngine* engine) {
    engine_ = engine;
    viewport_ = CGSizeZero;
    if (!engine_ && isFirstResponder()) resignFirstResponder(true);
    setNeedsLayout();
}

void WKEngineSurface::showPicture(std::shared_ptr<CGImage> picture) {
    if (!picture) return;
    // A new picture replaces the last at once: the page animates itself, the layer must not.
    CATransaction::begin();
    CATransaction::setDisableActions(true);
    layer()->setContentsScale(scale_ > 0 ? scale_ : 1);
    layer()->setContents(std::move(picture));
    CATransaction::commit();
}

void WKEngineSurface::layoutSubviews() {
    UIView::layoutSubviews();
    updateViewport();
}

void WKEngineSurface::updateViewport() {
    if (!engine_) return;
    CGSize size = bounds().size;
    auto w = window();
    auto screen = w ? w->screen() : nullptr;
    if (!screen) screen = UIScreen::mainScreen();
    CGFloat scale = screen ? screen->scale() : 1;
    if (size.width == viewport_.width && size.height == viewport_.height && scale == scale_) return;
    viewport_ = size;
    scale_ = scale;
    engine_->setViewport(size, scale);
}

void WKEngineSurface::followFocus(bool takesText) {
    if (takesText && engine_ && !isFirstResponder() && window()) {
        FirstResponder::take(std::static_pointer_cast<UIKeyInputView>(self<WKEngineSurface>()));
    } else if (!takesText && isFirstResponder()) {
        resignFirstResponder(true);
    }
}

bool WKEngineSurface::resignFirstResponder(bool) {
    if (!isFirstResponder()) return true;
    FirstResponder::released(*this);
    return true;
}

void WKEngineSurface::insertText(const std::string& text) {
    if (engine_) engine_->insertText(text);
}

void WKEngineSurface::deleteBackward() {
    if (engine_) engine_->deleteBackward();
}

void WKEngineSurface::returnKeyPressed() {
    if (engine_) engine_->pressReturn();
}
