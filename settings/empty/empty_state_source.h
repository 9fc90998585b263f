// What a list's owner answers to shape the placeholder shown over an empty list (the source) and
// how the placeholder behaves (the delegate). Every question is optional: the base answers with
// the default used when the owner gives no answer.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"
#include "platform/ui/control/ui_control.h"

class CAAnimation;
class NSAttributedString;
class UIButton;
class UIColor;
class UIImage;
class UIScrollView;
class UIView;

class EmptyStateSource {
public:
    virtual ~EmptyStateSource() = default;
    virtual std::shared_ptr<NSAttributedString> titleForEmptyState(UIScrollView&) { return nullptr; }
    virtual std::shared_ptr<NSAttributedString> descriptionForEmptyState(UIScrollView&) { return nullptr; }
    virtual std::shared_ptr<UIImage> imageForEmptyState(UIScrollView&) { return nullptr; }
    virtual std::shared_ptr<UIColor> imageTintColorForEmptyState(UIScrollView&) { return nullptr; }
    virtual std::shared_ptr<CAAnimation> imageAnimationForEmptyState(UIScrollView&) { return nullptr; }
    virtual std::shared_ptr<NSAttributedString> buttonTitleForEmptyState(UIScrollView&, UIControlState) {
        return nullptr;
    }
    virtual std::shared_ptr<UIImage> buttonImageForEmptyState(UIScrollView&, UIControlState) { return nullptr; }
    virtual std::shared_ptr<UIImage> buttonBackgroundImageForEmptyState(UIScrollView&, UIControlState) {
        return nullptr;
    }
    // None gives a clear background.
    virtual std::shared_ptr<UIColor> backgroundColorForEmptyState(UIScrollView&) { return nullptr; }
    // A view of the owner's own in place of the image, title, detail and button.
    virtual std::shared_ptr<UIView> customViewForEmptyState(UIScrollView&) { return nullptr; }
    // Points the content's centre moves down by.
    virtual CGFloat verticalOffsetForEmptyState(UIScrollView&) { return 0; }
    // The gap between the stacked pieces; 0 takes the default gap.
    virtual CGFloat spaceHeightForEmptyState(UIScrollView&) { return 0; }
};

class EmptyStateDelegate {
public:
    virtual ~EmptyStateDelegate() = default;
    virtual bool emptyStateShouldFadeIn(UIScrollView&) { return true; }
    virtual bool emptyStateShouldDisplay(UIScrollView&) { return true; }
    virtual bool emptyStateShouldBeForcedToDisplay(UIScrollView&) { return false; }
    virtual bool emptyStateShouldAllowTouch(UIScrollView&) { return true; }
    virtual bool emptyStateShouldAllowScroll(UIScrollView&) { return false; }
    virtual bool emptyStateShouldAnimateImageView(UIScrollView&) { return false; }
    virtual void emptyStateDidTapView(UIScrollView&, UIView& /*view*/) {}
    virtual void emptyStateDidTapButton(UIScrollView&, UIButton& /*button*/) {}
    virtual void emptyStateWillAppear(UIScrollView&) {}
    virtual void emptyStateDidAppear(UIScrollView&) {}
    virtual void emptyStateWillDisappear(UIScrollView&) {}
    virtual void emptyStateDidDisappear(UIScrollView&) {}
};
