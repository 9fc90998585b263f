// An arrowed pop-up with an optional scrolling title over one row of text buttons from its
// delegate, and an optional reset button that slides in at the row's left end. A tapped button is
// highlighted, scrolled into view and reported. Main-thread only.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/popup/pop_arrowed_view.h"

class GradientScrollView;
class PopMenuView;
class ScrollLabel;
class UIButton;

class PopMenuViewDelegate {
public:
    virtual ~PopMenuViewDelegate() = default;
    virtual std::vector<std::string> onPopMenuViewGetLabelArray(PopMenuView& menu) = 0;
    virtual void onPopMenuViewWillShow(PopMenuView&) {}
    virtual void onPopMenuViewTap(PopMenuView& menu, UIButton& sender, const std::string& label) = 0;
    virtual void onPopMenuViewDidHide(PopMenuView&) {}
};

class PopMenuView : public PopArrowedView {
public:
    KORVA_MAKE(PopMenuView)
    static constexpr CGFloat kRowHeight = 35;
    static constexpr CGFloat kInset = 5;
    static constexpr CGFloat kResetSlide = 100;

    void init() override;
    void show(const std::shared_ptr<NSObject>& sender, Callback completion);
    using PopArrowedView::show;
    void hide(Callback completion) override;
    using PopArrowedView::hide;
    void setTitle(const std::string& title);
    void showRight(const std::string& text);
    void hideRight();
    void updateView();
    void updateReset();
    void onLabel(UIButton& button);

    void setDelegate(const std::shared_ptr<PopMenuViewDelegate>& d) { delegate_ = d; }
    CGFloat lastResetWidth() const { return lastResetWidth_; }
    const std::vector<std::shared_ptr<UIButton>>& buttons() const { return buttons_; }
    const std::shared_ptr<GradientScrollView>& scroll() const { return scroll_; }
    const std::shared_ptr<UIButton>& btnReset() const { return btnReset_; }
    const std::shared_ptr<ScrollLabel>& lblTitle() const { return lblTitle_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }

    std::string className() const override { return "PopMenuView"; }

protected:
    explicit PopMenuView(std::shared_ptr<UIViewController> vc) : PopArrowedView(std::move(vc)) {}

private:
    CGFloat lastResetWidth_ = 100;
    std::weak_ptr<PopMenuViewDelegate> delegate_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<ScrollLabel> lblTitle_;
    std::shared_ptr<UIButton> btnReset_;
    std::shared_ptr<GradientScrollView> scroll_;
    std::vector<std::shared_ptr<UIButton>> buttons_;
    std::shared_ptr<UIColor> colorSelected_, colorUnselected_;
    std::optional<std::string> txtReset_;
};
