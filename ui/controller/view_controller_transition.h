// Swapping a container's content controller with a slide (the content switcher shows every
// screen this way). Main-thread only.
#pragma once

#include <memory>

class UIViewController;

// Shows `to` as the receiver's content: the first content appears at once; later ones slide in
// from the left while the current one leaves to the right (mirrored with `r`). The controller
// coming in is the current content as soon as the swap starts, so a swap during another one
// takes it as the one to leave; when a swap ends and no later one has started, only its incoming
// controller stays a child. Swapping to the current content does nothing.
void transition(const std::shared_ptr<UIViewController>& receiver, const std::shared_ptr<UIViewController>& to, bool r);
