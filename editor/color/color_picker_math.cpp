#include "editor/color/color_picker_math.h"

#include "foundation/numeric.h"
#include "platform/ui/draw/color.h"

namespace {

constexpr int kKnotCount = 7;
constexpr std::array<Rgb, kKnotCount> kKnots{{
    {1, 0, 0},
    {1, 1, 0},
    {0, 1, 0},
    {0, 1, 1},
    {0, 0, 1},
    {1, 0, 1},
    {1, 0, 0},
}};

float knotPosition(int k) {
    return static_cast<float>(k / 6.0);
}

}  // namespace

Rgb hueColor(double h) {
    const float hf = clampFloat(static_cast<float>(h), 0, 1);
    for (int i = 1; i < kKnotCount; ++i) {
        if (hf < knotPosition(i - 1) || hf > knotPosition(i)) continue;
        const float t = (hf - knotPosition(i - 1)) / static_cast<float>(1.0 / 6.0);
        Rgb out{};
        for (std::size_t c = 0; c < 3; ++c)
            out[c] = lerpFloat(static_cast<float>(kKnots[i - 1][c]), static_cast<float>(kKnots[i][c]), t);
        return out;
    }
    return kKnots[0];
}

Rgb squareColor(double h, double x, double y) {
    const Rgb k = hueColor(h);
    const auto fx = static_cast<float>(x);
    const auto fy = static_cast<float>(y);
    Rgb out{};
    for (std::size_t c = 0; c < 3; ++c)
        out[c] = lerpFloat(lerpFloat(1, static_cast<float>(k[c]), fx), lerpFloat(0, 0, fx), fy);
    return out;
}

PickerPosition pickerPosition(const UIColor& color) {
    CGFloat hue = 0, saturation = 0, brightness = 1, alpha = 1;
    if (!color.getHue(&hue, &saturation, &brightness, &alpha)) return {};
    return {hue, {saturation, 1 - brightness}};
}

const std::vector<std::vector<std::array<int, 3>>>& swatchGroups() {
    static const std::vector<std::vector<std::array<int, 3>>> groups{
        {{0, 0, 0}, {67, 67, 67}, {102, 102, 102}, {204, 204, 204}, {217, 217, 217}, {255, 255, 255}},
        {{152, 0, 0},
         {255, 0, 0},
         {255, 153, 0},
         {255, 255, 0},
         {0, 255, 0},
         {0, 255, 255},
         {74, 134, 232},
         {0, 0, 255},
         {153, 0, 255},
         {255, 0, 255}},
        {{230, 184, 175}, {244, 204, 204}, {252, 229, 205}, {255, 242, 204}, {217, 234, 211}, {208, 224, 227},
         {201, 218, 248}, {207, 226, 243}, {217, 210, 233}, {234, 209, 220}, {221, 126, 107}, {234, 153, 153},
         {249, 203, 156}, {255, 229, 153}, {182, 215, 168}, {162, 196, 201}, {164, 194, 244}, {159, 197, 232},
         {180, 167, 214}, {213, 166, 189}, {204, 65, 37},   {224, 102, 102}, {246, 178, 107}, {255, 217, 102},
         {147, 196, 125}, {118, 165, 175}, {109, 158, 235}, {111, 168, 220}, {142, 124, 195}, {194, 123, 160},
         {166, 28, 0},    {204, 0, 0},     {230, 145, 56},  {241, 194, 50},  {106, 168, 79},  {69, 129, 142},
         {60, 120, 216},  {61, 133, 198},  {103, 78, 167},  {166, 77, 121},  {91, 15, 0},     {102, 0, 0},
         {120, 63, 4},    {127, 96, 0},    {39, 78, 19},    {12, 52, 61},    {28, 69, 135},   {7, 55, 99},
         {32, 18, 77},    {76, 17, 48}},
    };
    return groups;
}
