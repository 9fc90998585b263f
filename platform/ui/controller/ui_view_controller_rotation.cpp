// Passing the turn of the screen down the controller tree.
#include "platform/ui/controller/ui_view_controller_rotation.h"

#include <vector>

#include "platform/ui/controller/ui_view_controller.h"

namespace {

template <class Call>
void down(UIViewController& controller, const Call& call) {
    auto keep = controller.shared_from_this();
    if (auto* hooks = dynamic_cast<UIViewControllerRotation*>(&controller)) call(*hooks);
    for (const auto& child : std::vector<std::shared_ptr<UIViewController>>(controller.childViewControllers()))
        down(*child, call);
    if (auto presented = controller.presentedViewController()) down(*presented, call);
}

}  // namespace

void interfaceWillRotate(UIViewController& controller, UIInterfaceOrientation to, double duration) {
    down(controller, [&](UIViewControllerRotation& c) { c.willRotateToInterfaceOrientation(to, duration); });
}

void interfaceWillAnimateRotation(UIViewController& controller, UIInterfaceOrientation to, double duration) {
    down(controller, [&](UIViewControllerRotation& c) { c.willAnimateRotationToInterfaceOrientation(to, duration); });
}
