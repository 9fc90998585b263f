// MyView: a view base with two hooks: setup, once at creation, where subclasses build their
// subviews; and relayout, once before the first layout pass, for what depends on the first real
// size. Main-thread only.
#pragma once

#include "platform/ui/view/ui_view.h"

class MyView : public UIView {
public:
    KORVA_MAKE(MyView)
    void init() override;

    virtual void setup() {}
    virtual void relayout() {}
    bool layouted() const { return layouted_; }

    void layoutSubviews() override;
    std::string className() const override { return "MyView"; }

protected:
    explicit MyView(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    bool layouted_ = false;
};
