// The drawn keyboard: three rows of letter keys, a space bar and a return key named after the
// focused input's return key type. Taps on keys type into the focused input.
#pragma once

#include <optional>
#include <string>

#include "platform/ui/gesture/ui_touch.h"
#include "platform/ui/input/text_input_traits.h"

class KeyboardView : public UIView, public UITouchReceiver {
public:
    KORVA_MAKE(KeyboardView)
    static CGFloat heightForWidth(CGFloat width, CGFloat screenHeight);

    void setTraits(const UITextInputTraits& t) {
        traits_ = t;
        setNeedsDisplay();
    }
    // The key under a point: a letter, " ", "\n" (return) or "\b" (delete).
    std::optional<std::string> keyAtPoint(CGPoint p) const;

    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    bool takesTouchesBeforeAncestorRecognizers() const override { return true; }
    void drawRect(CGRect rect) override;
    std::string className() const override { return "KeyboardView"; }

protected:
    explicit KeyboardView(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    struct Key {
        std::string value;
        std::string label;
        CGRect frame;
    };
    std::vector<Key> keys() const;
    UITextInputTraits traits_;
};
