// Popover placement: the source view and rectangle a presented controller points at, the
// permitted arrow directions, and the delegate that may keep the popover on a narrow screen.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"

class UIView;
class UIBarButtonItem;
class UIPopoverPresentationController;

using UIPopoverArrowDirection = unsigned;
inline constexpr UIPopoverArrowDirection UIPopoverArrowDirectionUp = 1 << 0;
inline constexpr UIPopoverArrowDirection UIPopoverArrowDirectionDown = 1 << 1;
inline constexpr UIPopoverArrowDirection UIPopoverArrowDirectionLeft = 1 << 2;
inline constexpr UIPopoverArrowDirection UIPopoverArrowDirectionRight = 1 << 3;
inline constexpr UIPopoverArrowDirection UIPopoverArrowDirectionAny = 15;
inline constexpr UIPopoverArrowDirection UIPopoverArrowDirectionUnknown = ~0u;

enum class UIModalPresentationStyle;

class UIPopoverPresentationControllerDelegate {
public:
    virtual ~UIPopoverPresentationControllerDelegate() = default;
    // Answer UIModalPresentationStyle::None to keep a popover on a compact screen.
    virtual UIModalPresentationStyle adaptivePresentationStyle(UIPopoverPresentationController& controller);
    virtual bool popoverPresentationControllerShouldDismissPopover(UIPopoverPresentationController&) { return true; }
    virtual void popoverPresentationControllerDidDismissPopover(UIPopoverPresentationController&) {}
};

class UIPopoverPresentationController : public NSObject {
public:
    KORVA_MAKE(UIPopoverPresentationController)

    std::shared_ptr<UIView> sourceView() const { return sourceView_.lock(); }
    void setSourceView(const std::shared_ptr<UIView>& v) { sourceView_ = v; }
    // An anchor on a bar: the item's view on screen stands for the source view (its bounds for the
    // rectangle) while no source view is set.
    std::shared_ptr<UIBarButtonItem> barButtonItem() const { return barButtonItem_.lock(); }
    void setBarButtonItem(const std::shared_ptr<UIBarButtonItem>& item) { barButtonItem_ = item; }
    // In the source view's coordinates; empty means the source view's bounds.
    CGRect sourceRect() const { return sourceRect_; }
    void setSourceRect(CGRect r) { sourceRect_ = r; }
    UIPopoverArrowDirection permittedArrowDirections() const { return permitted_; }
    void setPermittedArrowDirections(UIPopoverArrowDirection d) { permitted_ = d; }
    // The side the arrow ended up on once presented.
    UIPopoverArrowDirection arrowDirection() const { return arrow_; }
    std::shared_ptr<UIPopoverPresentationControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<UIPopoverPresentationControllerDelegate>& d) { delegate_ = d; }

    // Whether the popover stays a popover in a container of the given width (narrow screens
    // present it full screen unless the delegate says otherwise).
    bool keepsPopoverStyle(CGFloat containerWidth);
    // The frame in the window for content of the given size, choosing the arrow direction.
    CGRect frameInWindow(CGRect windowBounds, CGSize contentSize);

    std::string className() const override { return "UIPopoverPresentationController"; }

protected:
    UIPopoverPresentationController() = default;

private:
    std::weak_ptr<UIView> sourceView_;
    std::weak_ptr<UIBarButtonItem> barButtonItem_;
    CGRect sourceRect_ = CGRectZero;
    UIPopoverArrowDirection permitted_ = UIPopoverArrowDirectionAny;
    UIPopoverArrowDirection arrow_ = UIPopoverArrowDirectionUnknown;
    std::weak_ptr<UIPopoverPresentationControllerDelegate> delegate_;
};
