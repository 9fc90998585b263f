// Layout guide frames.
#include "platform/ui/layout/layout_guide.h"

#include "platform/ui/view/ui_view.h"

CGRect UILayoutGuide::layoutFrame() const {
    if (!safeArea_) return solvedFrame_;
    auto owner = owningView();
    if (!owner) return CGRectZero;
    return UIEdgeInsetsInsetRect(owner->bounds(), owner->safeAreaInsets());
}
