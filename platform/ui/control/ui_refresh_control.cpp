// Refresh control state.
#include "platform/ui/control/ui_refresh_control.h"

void UIRefreshControl::beginRefreshing() {
    refreshing_ = true;
    setNeedsDisplay();
}

void UIRefreshControl::endRefreshing() {
    refreshing_ = false;
    setNeedsDisplay();
}
