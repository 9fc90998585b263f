// AutoScroll: remembers a scroll view's offset before a reload and puts it back a moment after.
// States: nothing remembered -> remembered (autoScroll0) -> restored and cleared (the delayed
// autoScroll1Internal). Main-thread only.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"
#include "platform/runtime/object.h"

class UIScrollView;

class AutoScroll : public NSObject {
public:
    KORVA_MAKE(AutoScroll)
    static constexpr double kRestoreDelay = 0.01;

    void autoScroll0(const UIScrollView& scrollView);
    // Restores the remembered offset 0.01 s from now, when one is pending then.
    void autoScroll1(const std::shared_ptr<UIScrollView>& scrollView);
    void autoScroll1Internal(UIScrollView& scrollView);

    CGPoint lastContentOffset() const { return lastContentOffset_; }
    bool scrollToLastContentOffset() const { return pending_; }
    std::string className() const override { return "AutoScroll"; }

protected:
    AutoScroll() = default;

private:
    CGPoint lastContentOffset_;
    bool pending_ = false;
};
