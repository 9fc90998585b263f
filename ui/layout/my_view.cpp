// The view base's hooks.
#include "ui/layout/my_view.h"

void MyView::init() {
    UIView::init();
    setup();
}

void MyView::layoutSubviews() {
    if (!layouted_) {
        relayout();
        layouted_ = true;
    }
    UIView::layoutSubviews();
}
