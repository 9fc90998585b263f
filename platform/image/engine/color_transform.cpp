// Colour conversion between named spaces: decode curve, primaries matrix (with Bradford white
// adaptation), encode curve.
#include "platform/image/engine/color_transform.h"

#include <array>
#include <cmath>
#include <map>
#include <mutex>
#include <string>

#include "platform/image/engine/kernels.h"

namespace {

constexpr std::size_t kDecodeSize = 4096;
constexpr std::size_t kEncodeSize = 16384;

using M3 = std::array<double, 9>;

M3 mul(const M3& a, const M3& b) {
    M3 r{};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            for (int k = 0; k < 3; ++k) r[i * 3 + j] += a[i * 3 + k] * b[k * 3 + j];
    return r;
}

M3 inverse(const M3& m) {
    double det =
        m[0] * (m[4] * m[8] - m[5] * m[7]) - m[1] * (m[3] * m[8] - m[5] * m[6]) + m[2] * (m[3] * m[7] - m[4] * m[6]);
    if (det == 0) return {1, 0, 0, 0, 1, 0, 0, 0, 1};
    double id = 1.0 / det;
    return {(m[4] * m[8] - m[5] * m[7]) * id, (m[2] * m[7] - m[1] * m[8]) * id, (m[1] * m[5] - m[2] * m[4]) * id,
            (m[5] * m[6] - m[3] * m[8]) * id, (m[0] * m[8] - m[2] * m[6]) * id, (m[2] * m[3] - m[0] * m[5]) * id,
            (m[3] * m[7] - m[4] * m[6]) * id, (m[1] * m[6] - m[0] * m[7]) * id, (m[0] * m[4] - m[1] * m[3]) * id};
}

// Chromatic adaptation from one white to another (Bradford cone response).
M3 adaptation(const Chromaticity& from, const Chromaticity& to) {
    const M3 bradford{0.8951, 0.2664, -0.1614, -0.7502, 1.7135, 0.0367, 0.0389, -0.0685, 1.0296};
    auto xyz = [](const Chromaticity& c) { return std::array<double, 3>{c.x / c.y, 1.0, (1 - c.x - c.y) / c.y}; };
    auto cone = [&](const Chromaticity& c) {
        auto w = xyz(c);
        return std::array<double, 3>{bradford[0] * w[0] + bradford[1] * w[1] + bradford[2] * w[2],
                                     bradford[3] * w[0] + bradford[4] * w[1] + bradford[5] * w[2],
                                     bradford[6] * w[0] + bradford[7] * w[1] + bradford[8] * w[2]};
    };
    auto s = cone(from), d = cone(to);
    M3 scale{d[0] / s[0], 0, 0, 0, d[1] / s[1], 0, 0, 0, d[2] / s[2]};
    return mul(inverse(bradford), mul(scale, bradford));
}

}  // namespace

std::array<double, 9> chromaticAdaptation(const Chromaticity& from, const Chromaticity& to) {
    return adaptation(from, to);
}
std::array<double, 9> multiply3(const std::array<double, 9>& a, const std::array<double, 9>& b) {
    return mul(a, b);
}
std::array<double, 9> invert3(const std::array<double, 9>& m) {
    return inverse(m);
}

ColorTransformPlan::ColorTransformPlan(const CGColorSpace& from, const CGColorSpace& to) {
    if (!from.transfer().isLinear()) {
        decode_.resize(kDecodeSize);
        for (std::size_t i = 0; i < kDecodeSize; ++i)
            decode_[i] = from.transfer().toLinear(static_cast<float>(i) / (kDecodeSize - 1));
    }
    if (!to.transfer().isLinear()) {
        encode_.resize(kEncodeSize);
        for (std::size_t i = 0; i < kEncodeSize; ++i)
            encode_[i] = to.transfer().fromLinear(static_cast<float>(i) / (kEncodeSize - 1));
    }
    toGray_ = to.model() == CGColorSpaceModel::Monochrome;
    if (from.model() == CGColorSpaceModel::RGB && to.model() == CGColorSpaceModel::RGB) {
        M3 m = mul(inverse(to.toXYZ()), mul(adaptation(from.white(), to.white()), from.toXYZ()));
        const M3 identity{1, 0, 0, 0, 1, 0, 0, 0, 1};
        for (int i = 0; i < 9; ++i) {
            matrix_[i] = static_cast<float>(m[i]);
            hasMatrix_ = hasMatrix_ || std::fabs(m[i] - identity[i]) > 1e-6;
        }
    }
}

std::shared_ptr<const ColorTransformPlan> ColorTransformPlan::between(const std::shared_ptr<CGColorSpace>& from,
                                                                      const std::shared_ptr<CGColorSpace>& to) {
    if (!from || !to || from->name() == to->name()) return nullptr;
    static std::mutex mutex;
    static std::map<std::pair<std::string, std::string>, std::shared_ptr<const ColorTransformPlan>> plans;
    std::lock_guard lock(mutex);
    auto key = std::make_pair(from->name(), to->name());
    auto it = plans.find(key);
    if (it != plans.end()) return it->second;
    auto plan = std::make_shared<const ColorTransformPlan>(*from, *to);
    plans.emplace(key, plan);
    return plan;
}

void ColorTransformPlan::apply(float* r, float* g, float* b, const float* a, std::size_t n) const {
    bool translucent = kernels::unpremultiply(r, g, b, a, n);
    if (!decode_.empty())
        for (float* p : {r, g, b}) kernels::curve(p, n, decode_.data(), decode_.size());
    if (hasMatrix_) kernels::matrix3(r, g, b, n, matrix_, nullptr);
    if (toGray_) {
        const float m[9] = {0.2126f, 0.7152f, 0.0722f, 0.2126f, 0.7152f, 0.0722f, 0.2126f, 0.7152f, 0.0722f};
        kernels::matrix3(r, g, b, n, m, nullptr);
    }
    if (!encode_.empty())
        for (float* p : {r, g, b}) kernels::curve(p, n, encode_.data(), encode_.size());
    if (translucent) kernels::premultiply(r, g, b, a, n);
}

void ColorTransformPlan::applyToColor(float rgb[3]) const {
    float one = 1.0f;
    float r = rgb[0], g = rgb[1], b = rgb[2];
    apply(&r, &g, &b, &one, 1);
    rgb[0] = r;
    rgb[1] = g;
    rgb[2] = b;
}
