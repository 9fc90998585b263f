// One accessibility element of a rich label: a link, or the whole label, with its rectangle in
// the label; its frame on the screen follows the label.
#pragma once

#include <memory>

#include "platform/ui/view/ui_accessibility_element.h"

class RichAccessibilityElement : public UIAccessibilityElement {
public:
    KORVA_MAKE(RichAccessibilityElement)

    std::shared_ptr<UIView> superview() const { return superview_.lock(); }
    void setSuperview(const std::shared_ptr<UIView>& view) { superview_ = view; }
    CGRect boundingRect() const { return boundingRect_; }
    void setBoundingRect(CGRect rect) { boundingRect_ = rect; }

    // The bounding rectangle on the screen; zero once the label is gone.
    CGRect accessibilityFrame() const override;

    std::string className() const override { return "RichAccessibilityElement"; }

protected:
    explicit RichAccessibilityElement(const std::shared_ptr<NSObject>& container) : UIAccessibilityElement(container) {}

private:
    std::weak_ptr<UIView> superview_;
    CGRect boundingRect_ = CGRectZero;
};
