// The process-wide current trait collection.
#include "platform/ui/draw/trait_collection.h"

#include <mutex>

namespace {
std::mutex traitMutex;
UITraitCollection& currentTraits() {
    static UITraitCollection traits;
    return traits;
}
}  // namespace

// Guarded because image operations that resolve colours may run off the main thread.
UITraitCollection UITraitCollection::currentTraitCollection() {
    std::lock_guard lock(traitMutex);
    return currentTraits();
}

void UITraitCollection::setCurrentTraitCollection(const UITraitCollection& traits) {
    std::lock_guard lock(traitMutex);
    currentTraits() = traits;
}
