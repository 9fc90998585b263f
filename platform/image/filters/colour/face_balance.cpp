// "CIFaceBalance": moves skin tones towards a pleasing hue. inputOrigI and inputOrigQ are the
// chroma (YIQ) of the faces found in the picture; the whole picture is shifted in I and Q by
// inputStrength of the way from there to the target skin chroma, warmer with inputWarmth.
// Without face chroma (nothing was detected) the picture is left as it is.
#include "platform/image/engine/kernels.h"
#include "platform/image/filters/filter_support.h"

namespace {

constexpr double kSkinI = 0.14, kSkinQ = 0.03, kWarmthI = 0.05;

class ChromaShiftOp final : public PointOp {
public:
    ChromaShiftOp(double di, double dq) {
        // YIQ -> RGB of (0, di, dq).
        offset_[0] = static_cast<float>(0.956 * di + 0.621 * dq);
        offset_[1] = static_cast<float>(-0.272 * di - 0.647 * dq);
        offset_[2] = static_cast<float>(-1.106 * di + 1.703 * dq);
    }
    void apply(const PixelSpan& s) const override {
        static const float identity[9] = {1, 0, 0, 0, 1, 0, 0, 0, 1};
        kernels::matrix3(s.r, s.g, s.b, s.n, identity, offset_);
    }
    std::string label() const override { return "face balance"; }

private:
    float offset_[3];
};

class FaceBalanceFilter : public CIFilter {
public:
    std::shared_ptr<CIImage> outputImage() const override {
        auto input = imageInput(kCIInputImageKey);
        if (!input) return nullptr;
        const Value i = valueForKey("inputOrigI"), q = valueForKey("inputOrigQ");
        if (!i.isNumber() || !q.isNumber()) return input;
        const double strength = numberInput("inputStrength", 1.0), warmth = numberInput("inputWarmth", 0.0);
        const double di = strength * (kSkinI + kWarmthI * warmth - i.doubleValue());
        const double dq = strength * (kSkinQ - q.doubleValue());
        if (di == 0 && dq == 0) return input;
        return imageWithPointOp(input, std::make_shared<ChromaShiftOp>(di, dq));
    }

protected:
    explicit FaceBalanceFilter(const FilterDescription& d) : CIFilter(d) {}
};

}  // namespace

std::shared_ptr<CIFilter> makeFaceBalanceFilter(const FilterDescription& d) {
    return makeFilter<FaceBalanceFilter>(d);
}
