// The title bar of the titled pop-ups: a scrolling title in the middle and up to two buttons, one
// at each end, that slide and fade in when they appear. Main-thread only.
//
// Each button is absent (flag clear, hidden), sliding in (flag set, timer running), present (flag
// set, visible) or leaving (flag clear, timer running, already out of the bar). A request that
// matches the flag is ignored, so repeating it cannot restart a slide.
#pragma once

#include <memory>
#include <string>

#include "platform/dispatch/timer_slots.h"
#include "platform/ui/view/ui_view.h"

class IconButton;
class ScrollLabel;
class UIFont;
class TitleView;

class TitleViewDelegate {
public:
    virtual ~TitleViewDelegate() = default;
    virtual void onTitleViewLeft(TitleView& view, IconButton& sender) = 0;
    virtual void onTitleViewRight(TitleView& view, IconButton& sender) = 0;
};

class TitleView : public UIView {
public:
    KORVA_MAKE(TitleView)
    static constexpr CGFloat kInset = 5;
    static constexpr CGFloat kRowHeight = 35;
    static constexpr CGFloat kButtonPadding = 10;
    static constexpr CGSize kMeasureLimit{300, 100};
    static constexpr double kSlideTick = 0.03;
    // The slide runs at twice real time: 0.5 s.
    static constexpr double kSlideSpeed = 2;

    void init() override;
    ~TitleView() override;

    void showLeft(const std::string& title, bool animated);
    void showRight(const std::string& title, bool animated);
    void hideLeft(bool animated);
    void hideRight(bool animated);
    void updateButtons();

    const std::shared_ptr<ScrollLabel>& lblTitle() const { return lblTitle_; }
    const std::shared_ptr<IconButton>& btnLeft() const { return btnLeft_; }
    const std::shared_ptr<IconButton>& btnRight() const { return btnRight_; }
    CGFloat lastWLeft() const { return sides_[0].width; }
    CGFloat lastWRight() const { return sides_[1].width; }
    bool flagShowLeft() const { return sides_[0].shown; }
    bool flagShowRight() const { return sides_[1].shown; }
    bool holdTitlePosition() const { return holdTitlePosition_; }
    void setHoldTitlePosition(bool h);
    void setDelegate(const std::shared_ptr<TitleViewDelegate>& d) { delegate_ = d; }
    void setFont(std::shared_ptr<UIFont> f) { font_ = std::move(f); }
    const std::shared_ptr<UIFont>& font() const { return font_; }
    bool sliding(bool right) const { return sides_[right ? 1 : 0].timer.running(); }

    std::string className() const override { return "TitleView"; }

protected:
    explicit TitleView(std::shared_ptr<UIFont> font = nullptr) : font_(std::move(font)) {}

private:
    // One end of the bar; index 0 is the left, 1 the right.
    struct Side {
        bool shown = false;
        CGFloat width = 0;
        RepeatingTimer timer;
        double startedAt = 0;
    };
    void showSide(int side, const std::string& title, bool animated);
    void hideSide(int side, bool animated);
    void restartTimer(int side);
    void resetTimer(int side) { sides_[side].timer.reset(); }
    void onTimer(int side);
    const std::shared_ptr<IconButton>& button(int side) const { return side ? btnRight_ : btnLeft_; }

    std::shared_ptr<UIFont> font_;
    std::shared_ptr<ScrollLabel> lblTitle_;
    std::shared_ptr<IconButton> btnLeft_, btnRight_;
    Side sides_[2];
    bool holdTitlePosition_ = false;
    std::weak_ptr<TitleViewDelegate> delegate_;
};
