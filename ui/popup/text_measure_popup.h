// Measuring a pop-up's attributed text within a width, wrapping in lines with font leading.
#pragma once

#include <memory>

#include "platform/runtime/geometry.h"

class NSAttributedString;
class UILabel;
class UIColor;

CGSize measurePopupText(const std::shared_ptr<NSAttributedString>& text, CGFloat width);
// The centred, multi-line white label of the text pop-ups.
std::shared_ptr<UILabel> makePopupTextLabel();
// The text pop-ups' own red until a screen gives its palette colour.
std::shared_ptr<UIColor> popupRed();
