// Implicit animations: a change to an animatable property of a stand-alone layer (not a view's own
// layer) animates from the value on screen to the new one over the transaction's duration, unless
// the transaction disables actions or the layer's actions switch that key off.
//
// The layer reports each change through layerWillChange just before it happens. Main-thread only.
#pragma once

#include <map>
#include <memory>
#include <string>

class CALayer;
class CAAnimation;

class CALayerActions {
public:
    // Called with the key path just before the layer's model value changes.
    static void layerWillChange(CALayer& layer, const char* keyPath);
    // The layer's actions: a key mapped to an animation uses it (a copy, from the old value); a
    // key mapped to null has no implicit animation. Other keys take the default action.
    static void setActions(CALayer& layer, std::map<std::string, std::shared_ptr<CAAnimation>> actions);
    static std::map<std::string, std::shared_ptr<CAAnimation>> actions(const CALayer& layer);
};
