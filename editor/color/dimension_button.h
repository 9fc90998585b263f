// The "Dimension" button of the cube editors.
#pragma once

#include <functional>
#include <memory>

class IconButton;
class UIColor;

// A rounded "Dimension" button in the filter menu's font with a white tint, calling the action on
// a finished tap.
std::shared_ptr<IconButton> makeDimensionButton(std::shared_ptr<UIColor> background, std::function<void()> action);
