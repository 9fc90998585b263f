// "CIColorControls": saturation about the Rec. 709 luma, then brightness added, then contrast
// about mid-grey.
#include "platform/image/engine/kernels.h"
#include "platform/image/filters/filter_support.h"

namespace {

class ColorControlsOp final : public PointOp {
public:
    ColorControlsOp(float s, float b, float c) : s_(s), b_(b), c_(c) {}
    void apply(const PixelSpan& p) const override { kernels::colorControls(p.r, p.g, p.b, p.n, s_, b_, c_); }
    std::string label() const override { return "colour controls"; }

private:
    float s_, b_, c_;
};

class ColorControlsFilter : public CIFilter {
public:
    std::shared_ptr<CIImage> outputImage() const override {
        auto input = imageInput(kCIInputImageKey);
        if (!input) return nullptr;
        const float s = static_cast<float>(numberInput(kCIInputSaturationKey, 1.0));
        const float b = static_cast<float>(numberInput(kCIInputBrightnessKey, 0.0));
        const float c = static_cast<float>(numberInput(kCIInputContrastKey, 1.0));
        if (s == 1 && b == 0 && c == 1) return input;
        return imageWithPointOp(input, std::make_shared<ColorControlsOp>(s, b, c));
    }

protected:
    explicit ColorControlsFilter(const FilterDescription& d) : CIFilter(d) {}
};

}  // namespace

std::shared_ptr<CIFilter> makeColorControlsFilter(const FilterDescription& d) {
    return makeFilter<ColorControlsFilter>(d);
}
