// "CIColorCubeWithColorSpace": the colour cube applied in inputColorSpace (without one, as the
// plain cube). "CIColorCubesMixedWithMask": two cubes over the same image, mixed per pixel by the
// mask's luma (0: the first cube, 1: the second). Cube data follow the plain cube's rules; data of
// the wrong size give no output.
#include <cmath>

#include "platform/image/engine/kernels.h"
#include "platform/image/engine/mix_nodes.h"
#include "platform/image/filters/filter_kit.h"

namespace {

class CubeOp final : public PointOp {
public:
    CubeOp(Value data, int dim) : data_(std::move(data)), dim_(dim) {
        const float* t = table();
        const std::size_t count = data_.bytes()->size() / sizeof(float);
        for (std::size_t i = 3; i < count; i += 4) withAlpha_ = withAlpha_ || t[i] != 1.0f;
    }
    void apply(const PixelSpan& s) const override {
        kernels::colorCube(s.r, s.g, s.b, s.a, s.n, table(), dim_, withAlpha_);
    }
    bool changesAlpha() const override { return withAlpha_; }
    std::string label() const override { return "colour cube " + std::to_string(dim_); }

private:
    // Byte buffers come from the allocator, aligned for floats; data values are immutable.
    const float* table() const { return reinterpret_cast<const float*>(data_.bytes()->data()); }
    Value data_;
    int dim_;
    bool withAlpha_ = false;
};

std::shared_ptr<const PointOp> cubeOp(const CIFilter& f, const std::string& key) {
    const double d = f.numberInput("inputCubeDimension", 2);
    if (!(d >= 2 && d <= 128) || std::floor(d) != d) return nullptr;
    const int dim = static_cast<int>(d);
    const Value data = f.valueForKey(key);
    const Bytes* bytes = data.bytes();
    if (!bytes || bytes->size() != static_cast<std::size_t>(dim) * dim * dim * 4 * sizeof(float)) return nullptr;
    return std::make_shared<CubeOp>(data, dim);
}

NodePtr inSpace(const NodePtr& input, const CIFilter& f, std::shared_ptr<const PointOp> op) {
    if (auto space = f.valueForKey("inputColorSpace").objectAs<CGColorSpace>())
        return std::make_shared<SpaceOpNode>(input, space, std::move(op));
    return applyPoint(input, std::move(op));
}

std::shared_ptr<CIImage> cubeWithSpace(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    if (!input) return nullptr;
    auto op = cubeOp(f, "inputCubeData");
    if (!op) return nullptr;
    return CIImage::withNode(inSpace(input->node(), f, std::move(op)));
}

std::shared_ptr<CIImage> cubesMixed(const CIFilter& f) {
    auto input = f.imageInput(kCIInputImageKey);
    auto mask = f.imageInput("inputMaskImage");
    if (!input || !mask) return nullptr;
    auto op0 = cubeOp(f, "inputCube0Data"), op1 = cubeOp(f, "inputCube1Data");
    if (!op0 || !op1) return nullptr;
    auto a = inSpace(input->node(), f, std::move(op0)), b = inSpace(input->node(), f, std::move(op1));
    return CIImage::withNode(std::make_shared<MaskMixNode>(std::move(a), std::move(b), mask->node()));
}

}  // namespace

std::shared_ptr<CIFilter> makeColorCubeWithColorSpaceFilter(const FilterDescription& d) {
    return makeFunctionFilter<cubeWithSpace>(d);
}
std::shared_ptr<CIFilter> makeColorCubesMixedWithMaskFilter(const FilterDescription& d) {
    return makeFunctionFilter<cubesMixed>(d);
}
