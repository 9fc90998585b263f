// A pop-up placed against the view that opened it: the sender's rectangle in the owner's root
// view, and the container rectangle the last placement computed. Main-thread only.
#pragma once

#include "ui/popup/pop_view.h"

class PopSenderView;

// A sender view may choose which part of itself a pop-up points at (in its own coordinates).
class PopSenderViewInnerFrameDelegate {
public:
    virtual ~PopSenderViewInnerFrameDelegate() = default;
    virtual CGRect onPopSenderViewGetInnerFrame(const PopSenderView& pop) = 0;
};

class PopSenderView : public PopView {
public:
    // The sender's rectangle (the root view when there is none) in root-view coordinates.
    CGRect calcSenderRect() const;
    // Moves the container to `crt`, over 0.3 s when animated.
    void applyLayout(bool animated) override;

    std::shared_ptr<UIView> last() const { return last_.lock(); }
    void setLast(const std::shared_ptr<UIView>& v) { last_ = v; }
    CGRect crt() const { return crt_; }
    void setCrt(CGRect r) { crt_ = r; }

    std::string className() const override { return "PopSenderView"; }

protected:
    using PopView::PopView;
    // Remembers the sender's view, as the layout helpers resolve it.
    void track(const std::shared_ptr<NSObject>& sender);
    // Moves the container to `crt` at once.
    void moveToCrt();
    // The horizontal shift that keeps [left, right] 15 points inside the frame; the left wins.
    static CGFloat shiftLR(CGFloat left, CGFloat right, CGRect frame);

private:
    std::weak_ptr<UIView> last_;
    CGRect crt_{};
};
