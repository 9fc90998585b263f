// The side-menu drawer: hosts the storyboard's side-menu controller in an arrowed pop-up and tells
// its delegate when it has appeared and before it hides. Without a side-menu controller in the
// storyboard the drawer opens empty. Main-thread only.
#pragma once

#include "ui/popup/pop_vc_view.h"

class PopLeftView;
class UIGestureRecognizer;

class PopLeftViewDelegate {
public:
    virtual ~PopLeftViewDelegate() = default;
    virtual void onPopLeftViewDidShow(PopLeftView& pop) = 0;
    virtual void onPopLeftViewWillHide(PopLeftView& pop) = 0;
};

class PopLeftView : public PopVCView {
public:
    KORVA_MAKE(PopLeftView)
    static constexpr const char* kStoryboardID = "LeftController";
    static constexpr CGFloat kWidth = 220;
    static constexpr CGFloat kHeightMargin = 150;
    static constexpr CGFloat kMaxHeight = 800;

    void init() override;
    void show(const std::shared_ptr<NSObject>& sender);
    void hide(Callback completion) override;
    using PopVCView::hide;
    void updateView();
    void recalcLayout() override;
    // The hosted side-menu controller, made once from the storyboard; none when it has none.
    std::shared_ptr<UIViewController> dict();

    void setDelegate(const std::shared_ptr<PopLeftViewDelegate>& d) { delegate_ = d; }

    std::string className() const override { return "PopLeftView"; }

protected:
    explicit PopLeftView(std::shared_ptr<UIViewController> vc) : PopVCView(std::move(vc)) {}

private:
    using PopVCView::show;
    std::weak_ptr<PopLeftViewDelegate> delegate_;
    std::shared_ptr<UIViewController> dict_;
};
