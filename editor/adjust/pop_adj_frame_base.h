// The base of the full-frame parameter editors that lie over the picture (positions, rectangle):
// a black panel with a title bar, grown out of the label that opened it. The frame editors tell
// their delegate when they show and hide, ask it for the picture and report every write.
// Main-thread only.
#pragma once

#include <memory>
#include <string>

#include "platform/image/ci_image.h"
#include "platform/runtime/value.h"
#include "ui/popup/pop_sender_view.h"
#include "ui/popup/title_view.h"

class PopAdjFrameBase;

class PopAdjFrameBaseDelegate {
public:
    virtual ~PopAdjFrameBaseDelegate() = default;
    virtual void onPopAdjFrameBaseDidShow(PopAdjFrameBase& editor) = 0;
    virtual void onPopAdjFrameBaseWillHide(PopAdjFrameBase& editor) = 0;
    // The picture to edit over; may be none.
    virtual std::shared_ptr<CIImage> onPopAdjFrameBaseGetImage(PopAdjFrameBase& editor) = 0;
    virtual void onPopAdjFrameBaseValueChanged(PopAdjFrameBase& editor, const Value& record) = 0;
};

class PopAdjFrameBase : public PopSenderView, public TitleViewDelegate {
public:
    static constexpr CGFloat kTitleBarHeight = 45;
    static constexpr CGFloat kPanelInset = 1;

    void init() override;

    // Sets the title and grows the panel out of the sender to the placed container rectangle.
    void show(const std::shared_ptr<NSObject>& sender, const std::string& title, Callback completion);
    using PopSenderView::show;

    void showRight(const std::string& title, bool animated);
    void hideRight(bool animated);

    void onTitleViewLeft(TitleView&, IconButton&) override {}
    void onTitleViewRight(TitleView&, IconButton& sender) override { onRightButton(sender); }
    virtual void onRightButton(IconButton&) {}
    virtual void updateView() {}

    std::shared_ptr<PopAdjFrameBaseDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<PopAdjFrameBaseDelegate>& d) { delegate_ = d; }
    const std::shared_ptr<UIView>& b0p() const { return b0p_; }
    const std::shared_ptr<TitleView>& titleView() const { return titleView_; }

    std::string className() const override { return "PopAdjFrameBase"; }

protected:
    using PopSenderView::PopSenderView;

private:
    std::weak_ptr<PopAdjFrameBaseDelegate> delegate_;
    std::shared_ptr<UIView> b0p_;
    std::shared_ptr<TitleView> titleView_;
};
