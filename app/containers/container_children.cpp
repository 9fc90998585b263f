// Container children in and out.
#include "app/containers/container_children.h"

#include "ui/controller/view_controller_navigation.h"
#include "ui/layout/view_custom_constraints.h"

void activateChild(const std::shared_ptr<UIViewController>& container, const std::shared_ptr<UIViewController>& child,
                   const std::shared_ptr<UIView>& into) {
    if (!container || !child || !into || child->parentViewController()) return;
    addChild(container, child, into);
    addConstraintsFull(child->view(), into, 0, 0, 0, 0);
}

void deactivateChild(const std::shared_ptr<UIViewController>& child) {
    if (child && child->parentViewController()) removeChild(child);
}
