// Arrays of numbers turned into image values: colours, vectors, scaled points and rectangles,
// boxed transforms, colour-cube data, points and rectangles.
//
// Every element passes through its 32-bit float value. An array too short for a conversion gives
// none (a colour needs red, green and blue; a missing alpha is 1).
#pragma once

#include <memory>
#include <optional>

#include "platform/runtime/geometry.h"
#include "platform/runtime/value.h"

class AffineTransformValue;
class CIColor;
class CIVector;
class UIColor;

std::shared_ptr<CIColor> cicolor(const ValueArray& array);
std::shared_ptr<UIColor> uicolor(const ValueArray& array);
// One component per element; an empty array gives an empty vector.
std::shared_ptr<CIVector> civector(const ValueArray& array);
// (e0 * rx, e1 * ry), unrounded.
std::shared_ptr<CIVector> civectorWithRatio(const ValueArray& array, double rx, double ry);
// (x, y, width, height) scaled and rounded to whole numbers, halves away from zero.
std::shared_ptr<CIVector> cirectWithRatio(const ValueArray& array, double rx, double ry);
// (a, b, c, d, tx, ty).
std::shared_ptr<AffineTransformValue> nsvalue_CGAffineTransform(const ValueArray& array);
// The side n of the largest cube that the element count holds.
std::size_t colorCubeDimension(std::size_t count);
// n³ entries of four native-order floats (r, g, b, a; missing components 0) from the first n³
// elements, each an array of up to four numbers. None for an empty array.
std::optional<Bytes> nsdata_colorArray(const ValueArray& array);
std::optional<CGPoint> cgpoint(const ValueArray& array);
std::optional<CGRect> cgrect(const ValueArray& array);
