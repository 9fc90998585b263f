// Colour-cube tables as the cube editors write them.
#pragma once

#include "platform/runtime/value.h"

// n³ random opaque colours, each four numbers (red, green, blue in steps of 1/255, alpha 1); an
// empty table for a dimension outside 1 to 64.
ValueArray randomCubeTable(long n);
// The dimension record's value as a whole number (0 when it holds no finite number).
long cubeDimensionOf(const Value& record);
