// Finds the parts of the screen that changed between two frames: every layer's on-screen box and
// change count are remembered, and a layer that moved, changed, appeared or went away damages its
// old and new boxes. Changes of a layer count as changes of everything inside it.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/runtime/geometry.h"

class CALayer;

class DamageTracker {
public:
    // The device-pixel rectangles to redraw for the trees (drawn in order, each placed by its own
    // transform to device pixels); empty when nothing visible changed.
    std::vector<CGRect> update(const std::vector<CALayer*>& roots, const CGAffineTransform& toDevice, CGRect screen);
    // The next update damages the whole screen.
    void reset() { full_ = true; }

private:
    struct Entry {
        CGRect rect;
        std::uint64_t version;
    };
    using Map = std::unordered_map<std::uint64_t, Entry>;
    // `bound`, when set, is the box every layer inside a replicator is counted with.
    void walk(CALayer& layer, const CGAffineTransform& toDevice, std::uint64_t inherited, const CGRect* bound,
              CGRect screen, Map& out) const;

    Map last_;
    bool full_ = true;
};
