// A pop-up centred on its sender (or on the root view without one), kept inside the root view
// horizontally, growing from its own centre. Main-thread only.
#pragma once

#include "ui/popup/pop_sender_view.h"

class PopCenteredView : public PopSenderView {
public:
    void init() override;

    virtual void show(const std::shared_ptr<NSObject>& sender, Callback completion, Callback onDidHide);
    using PopView::show;
    void recalcLayout() override;

    // Stores the view to keep clear of and, when it is a new one, asks for a relayout.
    void setAvoidView(const std::shared_ptr<UIView>& view);
    std::shared_ptr<UIView> avoid() const { return avoid_.lock(); }
    CGPoint offsetCXCY() const { return offsetCXCY_; }
    void setOffsetCXCY(CGPoint p) { offsetCXCY_ = p; }

    std::string className() const override { return "PopCenteredView"; }

protected:
    using PopSenderView::PopSenderView;

private:
    std::weak_ptr<UIView> avoid_;
    CGPoint offsetCXCY_{};
};
