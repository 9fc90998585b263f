// The table of colour spaces offered by name.
#include "filter/color_spaces.h"

#include "platform/image/color_space.h"

const Value& ColorSpaces::dict() {
    if (!dict_.isNull()) return dict_;
    dict_ = Value::dictionary({{"Default", Value(kCGColorSpaceNULL)}});
    const std::pair<const char*, const char*> entries[] = {
        {"Generic RGB", kCGColorSpaceGenericRGB},
        {"Generic RGB Linear", kCGColorSpaceGenericRGBLinear},
        {"SRGB", kCGColorSpaceSRGB},
        {"Adobe RGB 1998", kCGColorSpaceAdobeRGB1998},
        {"ACEScg Linear", kCGColorSpaceACESCGLinear},
        {"ITU-R Recommendation BT.709", kCGColorSpaceITUR_709},
        {"ITU-R Recommendation BT.2020", kCGColorSpaceITUR_2020},
        {"ROMM RGB", kCGColorSpaceROMMRGB},
        {"Display P3", kCGColorSpaceDisplayP3},
    };
    // Only spaces this platform can actually make are offered.
    for (const auto& [disp, name] : entries)
        if (CGColorSpace::createWithName(name)) dict_.set(disp, Value(name));
    return dict_;
}
