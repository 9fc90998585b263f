// The one-line scrolling caption of title bars and tags: centred white text that loops leftward
// with a second copy 30 points behind, a 1 s pause at home, a 15 s movement and 10-point fades.
#pragma once

#include <memory>

class ScrollLabel;
class UIFont;

std::shared_ptr<ScrollLabel> makeCaptionLabel(std::shared_ptr<UIFont> font);
