// A text bubble with an arrow that points at a sender; a screen's tip. With taps on, a tap
// anywhere hides it. Main-thread only.
#pragma once

#include "ui/popup/pop_arrowed_view.h"
#include "ui/popup/pop_timed_text.h"

class UILabel;
class UITapGestureRecognizer;

class PopTextView : public PopTimedText<PopArrowedView> {
public:
    KORVA_MAKE(PopTextView)
    static constexpr CGFloat kTextMargin = 60;
    static constexpr CGFloat kMinTextWidth = 200;
    static constexpr CGFloat kPadding = 20;

    void init() override;
    void updateView() override;
    void tapEnable() override;
    void tapDisable() override;

    const std::shared_ptr<UILabel>& info() const { return info_; }

    std::string className() const override { return "PopTextView"; }

protected:
    explicit PopTextView(std::shared_ptr<UIViewController> vc) : PopTimedText(std::move(vc)) {}

private:
    std::shared_ptr<UILabel> info_;
    std::shared_ptr<UITapGestureRecognizer> tapBG_, tapInfo_;
};
