// The arrowed pop-up with a rounded body panel whose top 45 points hold a title bar; derived
// pop-ups act on the bar's buttons through onLeftButton and onRightButton. Main-thread only.
#pragma once

#include "ui/popup/pop_arrowed_view.h"
#include "ui/popup/title_view.h"

class PopTitleBase : public PopArrowedView, public TitleViewDelegate {
public:
    static constexpr CGFloat kTitleBarHeight = 45;
    static constexpr CGFloat kBodyInset = 1;

    void init() override;

    // Sets the title, then shows against the sender with no `onDidHide`.
    void show(const std::shared_ptr<NSObject>& sender, const std::string& title, Callback completion);
    using PopArrowedView::show;

    void showLeft(const std::string& title, bool animated) { titleView_->showLeft(title, animated); }
    void hideLeft(bool animated) { titleView_->hideLeft(animated); }
    void showRight(const std::string& title, bool animated) { titleView_->showRight(title, animated); }
    void hideRight(bool animated) { titleView_->hideRight(animated); }

    void onTitleViewLeft(TitleView&, IconButton& sender) override { onLeftButton(sender); }
    void onTitleViewRight(TitleView&, IconButton& sender) override { onRightButton(sender); }
    virtual void onLeftButton(IconButton&) {}
    virtual void onRightButton(IconButton&) {}

    const std::shared_ptr<TitleView>& titleView() const { return titleView_; }
    const std::shared_ptr<UIView>& b0p() const { return b0p_; }

    std::string className() const override { return "PopTitleBase"; }

protected:
    using PopArrowedView::PopArrowedView;

private:
    std::shared_ptr<TitleView> titleView_;
    std::shared_ptr<UIView> b0p_;
};
