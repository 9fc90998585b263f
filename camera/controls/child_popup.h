// A pop-up that another pop-up opens: made on first use with the same owner, shown above its
// sender when both sides fit, with the opener as its delegate. Main-thread only.
#pragma once

#include <memory>

class UIViewController;

template <class T, class Opener>
const std::shared_ptr<T>& childPopup(std::shared_ptr<T>& slot, const std::shared_ptr<UIViewController>& owner,
                                     const std::shared_ptr<Opener>& opener) {
    if (!slot) {
        slot = T::make(owner);
        slot->setShowAboveIfBothAvailable(true);
        slot->setDelegate(opener);
    }
    return slot;
}
