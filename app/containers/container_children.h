// Showing and hiding the children of the app's containers. Main thread only.
#pragma once

#include <memory>

#include "app/base/selected_child_answers.h"
#include "platform/ui/controller/ui_view_controller.h"

// Adds the child (when it has no parent yet) into `into`, pinned to all four edges.
void activateChild(const std::shared_ptr<UIViewController>& container, const std::shared_ptr<UIViewController>& child,
                   const std::shared_ptr<UIView>& into);
// Removes the child from its parent, when it has one.
void deactivateChild(const std::shared_ptr<UIViewController>& child);
