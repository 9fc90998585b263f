// How far apart the looks of a menu are: each look rendered over the synthetic scene and compared
// with every other look of the same menu as the root mean square of the red, green and blue
// differences, in levels of 255.
#pragma once

#include <string>
#include <vector>

#include "platform/runtime/value.h"

struct LookPair {
    std::string first, second;
    double rms = 0;
};

// The closest pair of each menu's looks over a scene of the given width (height 3/4 of it), the
// menus in FilterPreset::menuLabels() order. A menu with fewer than two looks that render gives
// a pair with empty names.
std::vector<LookPair> closestLooksPerMenu(int sceneWidth);

// The closest pair among the given filter descriptions over the same scene.
LookPair closestLooks(const std::vector<Value>& descs, int sceneWidth);
