// The editor action of a parameter item: which editor opens for it.
#pragma once

#include <cstdint>

enum class AdjAction : int {
    None = 0,
    Slider = 1,
    Switch = 2,
    Stepper = 3,
    Color = 4,
    Positions = 5,
    Rect = 6,
    Vector = 7,
    Graph2D = 8,
    Input = 9,
    String = 10,
    Source = 11,
    ColorSpace = 12,
    ColorArray = 13,
    ColorCube = 14,
    ColorCube2 = 15,
    Transform = 16,
};

// The action of an attribute record's editor kind (its "view", 1 to 26); None for any other kind.
// Positions, tone-curve points and the cube tables come only from grouping several inputs.
AdjAction adjActionForKind(std::int64_t kind);

// An item's "act" as an action; numbers outside 0 to 16 read as None.
AdjAction adjActionFromNumber(std::int64_t act);
