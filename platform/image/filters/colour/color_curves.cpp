// "CIColorCurves": inputCurvesData holds N entries of (red, green, blue) 32-bit floats, the
// curves sampled evenly over inputCurvesDomain; each component is looked up in its curve with
// linear interpolation (clamped to the ends) on straight colour, in inputColorSpace when given.
// Data that is not a whole number of entries, or a domain without width, gives no output.
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/image/engine/mix_nodes.h"
#include "platform/image/filters/filter_kit.h"

namespace {

class CurvesOp final : public PointOp {
public:
    CurvesOp(std::vector<float> table, float d0, float d1) : table_(std::move(table)), d0_(d0), d1_(d1) {}
    void apply(const PixelSpan& s) const override {
        const std::size_t size = table_.size() / 3;
        const float scale = static_cast<float>(size - 1) / (d1_ - d0_);
        float* planes[3] = {s.r, s.g, s.b};
        for (int c = 0; c < 3; ++c)
            for (std::size_t i = 0; i < s.n; ++i) {
                float x = (planes[c][i] - d0_) * scale;
                x = x > 0 ? x : 0;  // also catches NaN
                const std::size_t k = std::min(static_cast<std::size_t>(x), size - 1), k1 = std::min(k + 1, size - 1);
                const float t = std::min(x - static_cast<float>(k), 1.0f);
                planes[c][i] = table_[k * 3 + static_cast<std::size_t>(c)] * (1 - t) +
                               table_[k1 * 3 + static_cast<std::size_t>(c)] * t;
            }
    }
    std::string label() const override { return "colour curves " + std::to_string(table_.size() / 3); }

private:
    std::vector<float> table_;
    float d0_, d1_;
};

std::shared_ptr<CIImage> colorCurves(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    const Value data = f.valueForKey("inputCurvesData");
    const Bytes* bytes = data.bytes();
    if (!bytes || bytes->empty() || bytes->size() % (3 * sizeof(float)) != 0) return nullptr;
    std::vector<float> table(bytes->size() / sizeof(float));
    std::memcpy(table.data(), bytes->data(), bytes->size());
    for (float v : table)
        if (!std::isfinite(v)) return nullptr;
    const auto domain = vector4(f, "inputCurvesDomain", {0, 1, 0, 0});
    if (!(domain[1] > domain[0])) return nullptr;
    if (table.size() == 3) table.insert(table.end(), table.begin(), table.end());  // one entry: a constant
    auto op = std::make_shared<CurvesOp>(std::move(table), domain[0], domain[1]);
    auto space = f.valueForKey("inputColorSpace").objectAs<CGColorSpace>();
    if (space) return CIImage::withNode(std::make_shared<SpaceOpNode>(input->node(), space, op));
    return imageWithPointOp(input, op);
}

}  // namespace

std::shared_ptr<CIFilter> makeColorCurvesFilter(const FilterDescription& d) {
    return makeFunctionFilter<colorCurves>(d);
}
