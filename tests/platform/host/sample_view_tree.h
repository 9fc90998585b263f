// A small view tree laid out with constraints, used by the snapshot tool and the host tests.
#pragma once

#include <memory>

class UIView;
class UIWindow;

// Fills the window: a header pinned to the safe area's top, a card with rounded corners, a
// border and a shadow centred in the view, a gradient strip and a shape at the bottom.
std::shared_ptr<UIView> buildSampleViewTree(const std::shared_ptr<UIWindow>& window);
