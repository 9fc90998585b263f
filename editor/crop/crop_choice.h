// The crop screen's ratio choices: their titles and what each does to the crop rectangle.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/geometry.h"

struct CropChoiceEffect {
    std::optional<double> ratio;  // width over height, zoomed to with centring
    std::optional<CGRect> rect;   // a rectangle set directly
};

// "Original", "Square", "3 x 2", "3 x 5", "4 x 3", "4 x 6", "5 x 7", "8 x 10", "16 x 9".
const std::vector<std::string>& cropChoiceTitles();
// The effect of the choice at the index on the current rectangle (crop view points) of a picture
// of the given size shown at `pictureRect`; nothing for any other index. "4 x 3" and "16 x 9" set
// the height from the width and are capped to the picture, as a handle drag is.
CropChoiceEffect cropChoiceEffect(long index, CGRect current, CGSize picture, CGRect pictureRect);
