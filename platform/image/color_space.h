// Colour spaces by name: the RGB primaries, white point and transfer curve of each named space.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/object.h"

// The platform's colour-space name constants; each one's value is its own name.
inline constexpr const char* kCGColorSpaceSRGB = "kCGColorSpaceSRGB";
inline constexpr const char* kCGColorSpaceLinearSRGB = "kCGColorSpaceLinearSRGB";
inline constexpr const char* kCGColorSpaceExtendedSRGB = "kCGColorSpaceExtendedSRGB";
inline constexpr const char* kCGColorSpaceExtendedLinearSRGB = "kCGColorSpaceExtendedLinearSRGB";
inline constexpr const char* kCGColorSpaceDisplayP3 = "kCGColorSpaceDisplayP3";
inline constexpr const char* kCGColorSpaceAdobeRGB1998 = "kCGColorSpaceAdobeRGB1998";
inline constexpr const char* kCGColorSpaceGenericRGB = "kCGColorSpaceGenericRGB";
inline constexpr const char* kCGColorSpaceGenericRGBLinear = "kCGColorSpaceGenericRGBLinear";
inline constexpr const char* kCGColorSpaceGenericGray = "kCGColorSpaceGenericGray";
inline constexpr const char* kCGColorSpaceGenericGrayGamma2_2 = "kCGColorSpaceGenericGrayGamma2_2";
inline constexpr const char* kCGColorSpaceLinearGray = "kCGColorSpaceLinearGray";
inline constexpr const char* kCGColorSpaceDeviceRGB = "kCGColorSpaceDeviceRGB";
inline constexpr const char* kCGColorSpaceDeviceGray = "kCGColorSpaceDeviceGray";
inline constexpr const char* kCGColorSpaceACESCGLinear = "kCGColorSpaceACESCGLinear";
inline constexpr const char* kCGColorSpaceITUR_709 = "kCGColorSpaceITUR_709";
inline constexpr const char* kCGColorSpaceITUR_2020 = "kCGColorSpaceITUR_2020";
inline constexpr const char* kCGColorSpaceROMMRGB = "kCGColorSpaceROMMRGB";
// Not a colour space: the application's word for "no colour management".
inline constexpr const char* kCGColorSpaceNULL = "kCGColorSpaceNULL";

enum class CGColorSpaceModel { Monochrome, RGB };

// A transfer curve (encoded value -> linear light) of the parametric form
//   x >= d: (a x + b)^g + e       x < d: c x + f
// which covers sRGB, the BT.709 family, pure gammas and linear spaces.
struct ColorTransfer {
    float g = 1, a = 1, b = 0, c = 0, d = 0, e = 0, f = 0;
    bool isLinear() const { return g == 1 && a == 1 && b == 0 && d <= 0 && e == 0; }
    float toLinear(float v) const;
    float fromLinear(float v) const;
};

// Chromaticities in CIE xy.
struct Chromaticity {
    double x = 0, y = 0;
};

class CGColorSpace : public NSObject {
public:
    KORVA_MAKE(CGColorSpace)

    // The colour space of a platform name; none for an unknown name and for kCGColorSpaceNULL.
    static std::shared_ptr<CGColorSpace> createWithName(std::string_view name);
    // The names createWithName accepts, in a stable order.
    static const std::vector<std::string>& knownNames();

    const std::string& name() const { return name_; }
    CGColorSpaceModel model() const { return model_; }
    std::size_t numberOfComponents() const { return model_ == CGColorSpaceModel::RGB ? 3 : 1; }
    const ColorTransfer& transfer() const { return transfer_; }
    const Chromaticity& red() const { return red_; }
    const Chromaticity& green() const { return green_; }
    const Chromaticity& blue() const { return blue_; }
    const Chromaticity& white() const { return white_; }
    // Linear RGB of this space to CIE XYZ with the space's own white (row-major 3x3).
    std::array<double, 9> toXYZ() const;
    // Extended-range spaces keep values outside 0...1 when converting.
    bool isExtended() const { return extended_; }

    std::string description() const override;
    bool isEqual(const NSObject& other) const override;

protected:
    CGColorSpace(std::string name, CGColorSpaceModel model, ColorTransfer transfer, Chromaticity r, Chromaticity g,
                 Chromaticity b, Chromaticity w, bool extended)
        : name_(std::move(name)),
          model_(model),
          transfer_(transfer),
          red_(r),
          green_(g),
          blue_(b),
          white_(w),
          extended_(extended) {}

private:
    std::string name_;
    CGColorSpaceModel model_;
    ColorTransfer transfer_;
    Chromaticity red_, green_, blue_, white_;
    bool extended_;
};

inline std::shared_ptr<CGColorSpace> CGColorSpaceCreateWithName(std::string_view name) {
    return CGColorSpace::createWithName(name);
}
inline std::shared_ptr<CGColorSpace> CGColorSpaceCreateDeviceRGB() {
    return CGColorSpace::createWithName(kCGColorSpaceDeviceRGB);
}
