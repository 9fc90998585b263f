// One tile of the filter strip: the host's picture run through one preset's element, the
// preset's name under it, a spinning ring while there is no thumbnail yet, and a settings badge
// on the selected tile when the element has something to edit. The tile owns the parameter
// pop-up of its element, loads and saves the preset's values around every edit and tells the
// host. Main-thread only.
//
// A touch is told apart as a tap or a hold (0.05 s or more):
//
//   Idle --began--> Pressed --0.05 s--> Held (hold reported)
//   Pressed --ended, cancelled--> Idle                      (a tap follows from the recogniser)
//   Held --ended, cancelled--> Released (release reported)  (the tap of the same touch is not one)
//   Held --tap--> Idle (release reported);  Released --tap--> Idle;  Pressed/Idle --tap--> tap
//
// so every reported hold gets exactly one release, whichever of the touch's end, its cancel (the
// strip starts to scroll, a recogniser takes it) or the tap recogniser sees it first.
#pragma once

#include <functional>
#include <memory>

#include "editor/adjust/pop_adj_view.h"
#include "editor/browser/filter_source.h"
#include "platform/dispatch/timer_slots.h"
#include "platform/ui/gesture/ui_touch.h"
#include "platform/ui/view/ui_view.h"

class FilterItemView;
class FilterPersistElement;
class PopAdjHView;
class RingProgressView;
class UIImage;
class UIImageView;
class UILabel;
class UIViewController;

class FilterItemViewDelegate {
public:
    using Completion = std::function<void()>;
    virtual ~FilterItemViewDelegate() = default;
    virtual void onFilterItemViewDidTap(FilterItemView& item) = 0;
    virtual void onFilterItemViewDidLongTapDown(FilterItemView& item) = 0;
    virtual void onFilterItemViewDidLongTapUp(FilterItemView& item) = 0;
    // A full-screen editor closed (show) or opened (hide): the holder of the strip comes back or
    // gets out of the way and calls the completion when done.
    virtual void onFilterItemViewHolderShow(FilterItemView& item, Completion completion) = 0;
    virtual void onFilterItemViewHolderHide(FilterItemView& item, Completion completion) = 0;
};

class FilterItemView : public UIView, public UITouchReceiver, public PopAdjViewDelegate {
public:
    KORVA_MAKE(FilterItemView)
    // A touch held this long is a hold.
    static constexpr double kHoldDelay = 0.05;
    static constexpr CGFloat kLabelInset = 5;
    static constexpr long kLabelLines = 4;
    static constexpr CGFloat kBadgeShare = 0.3;
    static constexpr CGFloat kBadgeAlpha = 0.7;
    static constexpr CGFloat kCornerRadius = 4;
    static constexpr CGFloat kBorderWidth = 1;

    enum class TouchState { Idle, Pressed, Held, Released };

    void init() override;
    void layoutSubviews() override;

    // Sets the element and shows its display name.
    void setElement(std::shared_ptr<FilterPersistElement> element);
    const std::shared_ptr<FilterPersistElement>& element() const { return elem_; }

    // Renders the thumbnail from the host's picture; nothing without a picture or a usable
    // context, and a result that cannot be drawn keeps the last thumbnail.
    void drawRefiltered();
    // Shows the thumbnail, or the ring while there is none.
    void updateImage();
    // Drops the thumbnail (an off-screen tile holds none) and sets the ring spinning again.
    void resetLastImage();

    void setSelected();
    void setUnselected();

    // Opens the parameters: a lone editable item's editor on the badge, otherwise the label
    // pop-up on the anchor.
    void showAdj(const std::shared_ptr<UIView>& anchor);
    void hideAdj();
    // Re-lays out the parameter pop-up while it is on screen.
    void scheduledLayout();
    // Whether the element has anything to edit (the badge shows on selection only then).
    bool hasEditableItems() const;

    // Touch entry points (see the states above); the touches are passed on to the strip, which
    // stops moving under a finger.
    void touchesBegan(const UITouchSet& touches, const UIEvent& event) override;
    void touchesEnded(const UITouchSet& touches, const UIEvent& event) override;
    void touchesCancelled(const UITouchSet& touches, const UIEvent& event) override;
    void onTap();
    void onLongTap();

    // The parameter pop-up's relay: before an editor opens, the host's adjustment and then the
    // preset's saved value; after each edit, save, drop the element's per-size data, tell the host.
    void onPopAdjViewPreprocess(PopAdjView& pop, const std::string& filterName, const std::string& key,
                                const Value& record) override;
    void onPopAdjViewValueInitialize(PopAdjView& pop, const Value& record) override;
    void onPopAdjViewValueChanged(PopAdjView& pop, const Value& record) override;
    // A full-screen editor opens: the pop-up goes, then the holder; it closes: the holder comes
    // back and the thumbnail is drawn again.
    void onPopAdjViewFullScreenRequested(PopAdjView& pop) override;
    void onPopAdjViewFullScreenFinished(PopAdjView& pop) override;
    std::shared_ptr<CIImage> onPopAdjViewGetImage(PopAdjView& pop) override;

    void setDelegate(const std::shared_ptr<FilterItemViewDelegate>& d) { delegate_ = d; }
    std::shared_ptr<FilterAttrDelegate> attrDelegate() const { return attrDelegate_.lock(); }
    TouchState touchState() const { return touchState_; }
    bool longTapDown() const { return touchState_ == TouchState::Held; }
    bool holdTimerPending() const { return timer_.pending(); }
    bool progressHiding() const { return progressHiding_; }
    CGFloat labelHeight() const { return labelHeight_; }
    const std::shared_ptr<UIImage>& lastImage() const { return lastImage_; }
    const std::shared_ptr<UIImageView>& imageView() const { return image_; }
    const std::shared_ptr<UIImageView>& settings() const { return settings_; }
    const std::shared_ptr<UILabel>& label() const { return label_; }
    const std::shared_ptr<RingProgressView>& progress() const { return progress_; }
    const std::shared_ptr<PopAdjHView>& popAdj() const { return popAdj_; }

    std::string className() const override { return "FilterItemView"; }

protected:
    FilterItemView(std::shared_ptr<UIViewController> vc, CGFloat labelHeight,
                   std::shared_ptr<FilterAttrDelegate> attrDelegate);

private:
    // Stops the hold timer; reports the release of a reported hold once.
    void endTouch();

    std::weak_ptr<UIViewController> vc_;
    CGFloat labelHeight_;
    std::weak_ptr<FilterAttrDelegate> attrDelegate_;
    std::weak_ptr<FilterItemViewDelegate> delegate_;
    std::shared_ptr<FilterPersistElement> elem_;
    std::shared_ptr<UIImageView> image_, settings_;
    std::shared_ptr<UIImage> lastImage_;
    std::shared_ptr<UILabel> label_;
    std::shared_ptr<RingProgressView> progress_;
    std::shared_ptr<PopAdjHView> popAdj_;
    OneShotTimer timer_;
    TouchState touchState_ = TouchState::Idle;
    bool progressHiding_ = false;
    bool progressShowAssigned_ = false;
};
