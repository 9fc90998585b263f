// Accessibility elements that are not views (a part of a view's content read out on its own),
// and the conversion of a view's rectangles to the screen coordinates accessibility works in.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/geometry.h"
#include "platform/ui/view/ui_view.h"

class UIAccessibilityElement : public NSObject {
public:
    KORVA_MAKE(UIAccessibilityElement)

    // The view (or element) that holds this one; not retained.
    std::shared_ptr<NSObject> accessibilityContainer() const { return container_.lock(); }

    const std::optional<std::string>& accessibilityLabel() const { return label_; }
    void setAccessibilityLabel(std::optional<std::string> label) { label_ = std::move(label); }
    const std::optional<std::string>& accessibilityValue() const { return value_; }
    void setAccessibilityValue(std::optional<std::string> value) { value_ = std::move(value); }
    const std::optional<std::string>& accessibilityHint() const { return hint_; }
    void setAccessibilityHint(std::optional<std::string> hint) { hint_ = std::move(hint); }
    UIAccessibilityTraits accessibilityTraits() const { return traits_; }
    void setAccessibilityTraits(UIAccessibilityTraits traits) { traits_ = traits; }
    // In screen coordinates.
    virtual CGRect accessibilityFrame() const { return frame_; }
    void setAccessibilityFrame(CGRect frame) { frame_ = frame; }

    std::string className() const override { return "UIAccessibilityElement"; }

protected:
    explicit UIAccessibilityElement(const std::shared_ptr<NSObject>& container) : container_(container) {}

private:
    std::weak_ptr<NSObject> container_;
    std::optional<std::string> label_, value_, hint_;
    UIAccessibilityTraits traits_ = UIAccessibilityTraitNone;
    CGRect frame_ = CGRectZero;
};

// A rectangle in the view's bounds space on the screen (through its window's place on it).
CGRect UIAccessibilityConvertFrameToScreenCoordinates(CGRect rect, const UIView& view);
