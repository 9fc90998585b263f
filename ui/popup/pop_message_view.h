// A short message in the middle of the screen that goes away after a delay or, with taps on, on a
// tap outside it; touches on the message itself reach the screen below. Main-thread only.
#pragma once

#include "ui/popup/pop_centered_view.h"
#include "ui/popup/pop_timed_text.h"

class UIGestureRecognizer;
class UILabel;
class UITapGestureRecognizer;

class PopMessageView : public PopTimedText<PopCenteredView> {
public:
    KORVA_MAKE(PopMessageView)
    static constexpr CGFloat kTextMargin = 20;
    static constexpr CGFloat kMinTextWidth = 200;
    static constexpr float kMinPadding = 15, kMaxPadding = 20;

    void init() override;
    CGSize calcSize() const;
    void updateView() override;
    void tapEnable() override;
    void tapDisable() override;
    // A hidden message has nothing left to hide.
    void onTimerHide() override;

    bool noPadding() const { return noPadding_; }
    void setNoPadding(bool n) { noPadding_ = n; }
    const std::shared_ptr<UILabel>& info() const { return info_; }

    std::string className() const override { return "PopMessageView"; }

protected:
    explicit PopMessageView(std::shared_ptr<UIViewController> vc) : PopTimedText(std::move(vc)) {}

private:
    void onTap(UIGestureRecognizer& recognizer);

    bool noPadding_ = false;
    std::shared_ptr<UILabel> info_;
    std::shared_ptr<UITapGestureRecognizer> tap_;
};
