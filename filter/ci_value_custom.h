// Interface colours and four-component vectors from image colours and vectors.
#pragma once

#include <array>
#include <memory>

class CIColor;
class CIVector;
class UIColor;

std::shared_ptr<UIColor> uicolor(const CIColor& color);
// red = X, green = Y, blue = Z, alpha = W.
std::shared_ptr<UIColor> uicolor(const CIVector& vector);
std::array<float, 4> glkVector4(const CIVector& vector);
