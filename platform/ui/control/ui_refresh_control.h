// The pull-to-refresh control of a scroll view: a refreshing flag, begin and end, and the
// value-changed action its owner listens to. This host's scroll views do not start it by pulling;
// callers begin it themselves. Main-thread only.
#pragma once

#include "platform/ui/control/ui_control.h"

class UIRefreshControl : public UIControl {
public:
    KORVA_MAKE(UIRefreshControl)
    static constexpr CGFloat kHeight = 60;

    bool isRefreshing() const { return refreshing_; }
    // Marks the control refreshing; sends no action (the caller sends value-changed if it wants).
    void beginRefreshing();
    void endRefreshing();

    std::string className() const override { return "UIRefreshControl"; }

protected:
    UIRefreshControl() = default;

private:
    bool refreshing_ = false;
};
