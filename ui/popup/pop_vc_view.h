// An arrowed pop-up that hosts a child controller in its body from a show to the end of the
// following hide. Main-thread only.
#pragma once

#include "ui/popup/pop_arrowed_view.h"

class PopVCView : public PopArrowedView {
public:
    static constexpr CGFloat kChildInset = 1;

    // Moves the child here (out of any other container) and shows it against the sender.
    void show(const std::shared_ptr<NSObject>& sender, const std::shared_ptr<UIViewController>& child,
              Callback completion, Callback onDidHide);
    using PopArrowedView::show;
    // Detaches the child once the shrink has ended, unless a show came meanwhile.
    void hide(Callback completion) override;
    using PopArrowedView::hide;
    void removeChild0();
    // The arrowed relayout, then tells the child that the screen turned.
    void applyLayout(bool animated) override;

    const std::shared_ptr<UIView>& body();
    std::shared_ptr<UIViewController> child() const { return child_.lock(); }

    std::string className() const override { return "PopVCView"; }

protected:
    using PopArrowedView::PopArrowedView;
    // Attaches the child to the owner with its view inside the body.
    void attach(const std::shared_ptr<UIViewController>& child);
    // Takes the child as this pop-up's own and attaches it.
    void adopt(const std::shared_ptr<UIViewController>& child) {
        child_ = child;
        attach(child);
    }

private:
    std::shared_ptr<UIView> body_;
    std::weak_ptr<UIViewController> child_;
};
