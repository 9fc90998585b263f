// The ratio table of the crop screen.
#include "editor/crop/crop_choice.h"

const std::vector<std::string>& cropChoiceTitles() {
    static const std::vector<std::string> titles{"Original", "Square", "3 x 2",  "3 x 5", "4 x 3",
                                                 "4 x 6",    "5 x 7",  "8 x 10", "16 x 9"};
    return titles;
}

CropChoiceEffect cropChoiceEffect(long index, CGRect current, CGSize picture, CGRect pictureRect) {
    auto heightFromWidth = [&](double factor) {
        CGRect r{current.origin, {current.size.width, CGFloat(current.size.width * factor)}};
        CGRect capped = CGRectIntersection(r, pictureRect);
        return CGRectIsEmpty(capped) ? current : capped;
    };
    switch (index) {
        case 0: {
            if (!(picture.width > 0) || !(picture.height > 0)) return {};
            CGRect r = current;
            if (picture.width < picture.height)
                r.size.width = picture.width / picture.height * current.size.height;
            else
                r.size.height = picture.height / picture.width * current.size.width;
            return {std::nullopt, r};
        }
        case 1: return {1.0, std::nullopt};
        case 2:
        case 5: return {double(2.0f / 3.0f), std::nullopt};
        case 3: return {double(0.6f), std::nullopt};
        case 4: return {std::nullopt, heightFromWidth(0.75)};
        case 6: return {double(5.0f / 7.0f), std::nullopt};
        case 7: return {double(0.8f), std::nullopt};
        case 8: return {std::nullopt, heightFromWidth(0.5625)};
        default: return {};
    }
}
