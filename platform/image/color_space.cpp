// The table of named colour spaces and the maths of their transfer curves and primaries.
#include "platform/image/color_space.h"

#include <cmath>
#include <cstdio>
#include <mutex>
#include <unordered_map>

float ColorTransfer::toLinear(float v) const {
    float s = v < 0 ? -1.0f : 1.0f;  // odd extension keeps extended-range values symmetric
    float x = std::fabs(v);
    float r = x >= d ? std::pow(a * x + b, g) + e : c * x + f;
    return s * r;
}

float ColorTransfer::fromLinear(float v) const {
    float s = v < 0 ? -1.0f : 1.0f;
    float y = std::fabs(v);
    // The linear segment ends where the curved part begins: at c*d + f.
    float knee = c * d + f;
    float r;
    if (d > 0 && y < knee)
        r = c != 0 ? (y - f) / c : 0.0f;
    else
        r = (std::pow(std::max(y - e, 0.0f), 1.0f / g) - b) / a;
    return s * r;
}

namespace {

struct Entry {
    CGColorSpaceModel model;
    ColorTransfer transfer;
    Chromaticity r, g, b, w;
    bool extended;
};

constexpr Chromaticity kD65{0.3127, 0.3290};
constexpr Chromaticity kD50{0.3457, 0.3585};
constexpr Chromaticity kAcesWhite{0.32168, 0.33767};
constexpr Chromaticity kRec709R{0.64, 0.33}, kRec709G{0.30, 0.60}, kRec709B{0.15, 0.06};

const ColorTransfer kLinear{};
const ColorTransfer kSRGB{2.4f, 1 / 1.055f, 0.055f / 1.055f, 1 / 12.92f, 0.04045f, 0, 0};
const ColorTransfer kRec709{1 / 0.45f, 1 / 1.099f, 0.099f / 1.099f, 1 / 4.5f, 0.081f, 0, 0};
const ColorTransfer kGamma18{1.8f, 1, 0, 0, 0, 0, 0};
const ColorTransfer kGamma22{2.2f, 1, 0, 0, 0, 0, 0};
const ColorTransfer kAdobe{563.0f / 256.0f, 1, 0, 0, 0, 0, 0};
const ColorTransfer kRomm{1.8f, 1, 0, 1 / 16.0f, 0.03125f, 0, 0};

const std::vector<std::pair<std::string, Entry>>& table() {
    using M = CGColorSpaceModel;
    static const std::vector<std::pair<std::string, Entry>> entries = {
        {kCGColorSpaceSRGB, {M::RGB, kSRGB, kRec709R, kRec709G, kRec709B, kD65, false}},
        {kCGColorSpaceLinearSRGB, {M::RGB, kLinear, kRec709R, kRec709G, kRec709B, kD65, false}},
        {kCGColorSpaceExtendedSRGB, {M::RGB, kSRGB, kRec709R, kRec709G, kRec709B, kD65, true}},
        {kCGColorSpaceExtendedLinearSRGB, {M::RGB, kLinear, kRec709R, kRec709G, kRec709B, kD65, true}},
        {kCGColorSpaceDisplayP3, {M::RGB, kSRGB, {0.680, 0.320}, {0.265, 0.690}, {0.150, 0.060}, kD65, false}},
        {kCGColorSpaceAdobeRGB1998, {M::RGB, kAdobe, {0.64, 0.33}, {0.21, 0.71}, {0.15, 0.06}, kD65, false}},
        {kCGColorSpaceGenericRGB, {M::RGB, kGamma18, {0.630, 0.340}, {0.295, 0.605}, {0.155, 0.077}, kD65, false}},
        {kCGColorSpaceGenericRGBLinear, {M::RGB, kLinear, {0.630, 0.340}, {0.295, 0.605}, {0.155, 0.077}, kD65, false}},
        {kCGColorSpaceDeviceRGB, {M::RGB, kSRGB, kRec709R, kRec709G, kRec709B, kD65, false}},
        {kCGColorSpaceACESCGLinear,
         {M::RGB, kLinear, {0.713, 0.293}, {0.165, 0.830}, {0.128, 0.044}, kAcesWhite, false}},
        {kCGColorSpaceITUR_709, {M::RGB, kRec709, kRec709R, kRec709G, kRec709B, kD65, false}},
        {kCGColorSpaceITUR_2020, {M::RGB, kRec709, {0.708, 0.292}, {0.170, 0.797}, {0.131, 0.046}, kD65, false}},
        {kCGColorSpaceROMMRGB, {M::RGB, kRomm, {0.7347, 0.2653}, {0.1596, 0.8404}, {0.0366, 0.0001}, kD50, false}},
        {kCGColorSpaceGenericGray, {M::Monochrome, kGamma18, {}, {}, {}, kD65, false}},
        {kCGColorSpaceGenericGrayGamma2_2, {M::Monochrome, kGamma22, {}, {}, {}, kD65, false}},
        {kCGColorSpaceLinearGray, {M::Monochrome, kLinear, {}, {}, {}, kD65, false}},
        {kCGColorSpaceDeviceGray, {M::Monochrome, kGamma22, {}, {}, {}, kD65, false}},
    };
    return entries;
}

}  // namespace

std::shared_ptr<CGColorSpace> CGColorSpace::createWithName(std::string_view name) {
    // Spaces are immutable, so one instance per name is shared by everyone.
    static std::mutex mutex;
    static std::unordered_map<std::string, std::shared_ptr<CGColorSpace>> made;
    std::lock_guard lock(mutex);
    std::string key(name);
    if (auto it = made.find(key); it != made.end()) return it->second;
    for (const auto& [n, e] : table()) {
        if (n != name) continue;
        auto space = make(n, e.model, e.transfer, e.r, e.g, e.b, e.w, e.extended);
        made.emplace(key, space);
        return space;
    }
    return nullptr;
}

const std::vector<std::string>& CGColorSpace::knownNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> out;
        for (const auto& entry : table()) out.push_back(entry.first);
        return out;
    }();
    return names;
}

std::array<double, 9> CGColorSpace::toXYZ() const {
    if (model_ != CGColorSpaceModel::RGB) return {1, 0, 0, 0, 1, 0, 0, 0, 1};
    auto xyz = [](Chromaticity c) { return std::array<double, 3>{c.x / c.y, 1.0, (1 - c.x - c.y) / c.y}; };
    auto R = xyz(red_), G = xyz(green_), B = xyz(blue_), W = xyz(white_);
    // Solve [R G B] * S = W for the channel scales S (Cramer's rule).
    double m[9] = {R[0], G[0], B[0], R[1], G[1], B[1], R[2], G[2], B[2]};
    auto det3 = [](const double* a) {
        return a[0] * (a[4] * a[8] - a[5] * a[7]) - a[1] * (a[3] * a[8] - a[5] * a[6]) +
               a[2] * (a[3] * a[7] - a[4] * a[6]);
    };
    double det = det3(m);
    double s[3];
    for (int col = 0; col < 3; ++col) {
        double t[9];
        std::copy(m, m + 9, t);
        for (int row = 0; row < 3; ++row) t[row * 3 + col] = W[row];
        s[col] = det3(t) / det;
    }
    return {m[0] * s[0], m[1] * s[1], m[2] * s[2], m[3] * s[0], m[4] * s[1],
            m[5] * s[2], m[6] * s[0], m[7] * s[1], m[8] * s[2]};
}

std::string CGColorSpace::description() const {
    return "<CGColorSpace " + name_ + ">";
}

bool CGColorSpace::isEqual(const NSObject& other) const {
    auto* o = dynamic_cast<const CGColorSpace*>(&other);
    return o && o->name_ == name_;
}
