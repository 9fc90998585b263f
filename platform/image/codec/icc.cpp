// ICC profiles built from the named colour spaces' primaries and curves, and lcms2 conversions.
#include "platform/image/codec/icc.h"

#include <lcms2.h>

#include <algorithm>
#include <map>
#include <mutex>

#include "platform/image/color_space.h"

namespace {

struct ProfileCloser {
    void operator()(void* p) const { cmsCloseProfile(p); }
};
using ProfileHandle = std::unique_ptr<void, ProfileCloser>;

std::string descriptionForName(std::string_view name) {
    static const std::map<std::string, std::string, std::less<>> texts = {
        {kCGColorSpaceSRGB, "sRGB IEC61966-2.1"},        {kCGColorSpaceDisplayP3, "Display P3"},
        {kCGColorSpaceAdobeRGB1998, "Adobe RGB (1998)"}, {kCGColorSpaceGenericRGB, "Generic RGB"},
        {kCGColorSpaceGenericGray, "Generic Gray"},      {kCGColorSpaceLinearSRGB, "Linear sRGB"},
    };
    if (auto it = texts.find(name); it != texts.end()) return it->second;
    std::string text(name);
    if (text.rfind("kCGColorSpace", 0) == 0) text.erase(0, 13);
    return text;
}

ProfileHandle buildProfile(const CGColorSpace& space) {
    const ColorTransfer& t = space.transfer();
    const double params[7] = {t.g, t.a, t.b, t.c, t.d, t.e, t.f};
    // Type 5: (aX + b)^g + e above d, cX + f below, exactly the spaces' curve form.
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 5, params);
    if (!curve) return nullptr;
    const cmsCIExyY white{space.white().x, space.white().y, 1.0};
    ProfileHandle profile;
    if (space.model() == CGColorSpaceModel::Monochrome) {
        profile.reset(cmsCreateGrayProfile(&white, curve));
    } else {
        const cmsCIExyYTRIPLE primaries{{space.red().x, space.red().y, 1.0},
                                        {space.green().x, space.green().y, 1.0},
                                        {space.blue().x, space.blue().y, 1.0}};
        cmsToneCurve* curves[3] = {curve, curve, curve};
        profile.reset(cmsCreateRGBProfile(&white, &primaries, curves));
    }
    cmsFreeToneCurve(curve);
    if (!profile) return nullptr;
    cmsMLU* description = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(description, "en", "US", descriptionForName(space.name()).c_str());
    cmsWriteTag(profile.get(), cmsSigProfileDescriptionTag, description);
    cmsMLUfree(description);
    cmsMLU* copyright = cmsMLUalloc(nullptr, 1);
    cmsMLUsetASCII(copyright, "en", "US", "No copyright, use freely");
    cmsWriteTag(profile.get(), cmsSigCopyrightTag, copyright);
    cmsMLUfree(copyright);
    return profile;
}

std::optional<Bytes> serialise(void* profile) {
    cmsUInt32Number size = 0;
    if (!cmsSaveProfileToMem(profile, nullptr, &size) || size == 0) return std::nullopt;
    Bytes bytes(size);
    if (!cmsSaveProfileToMem(profile, bytes.data(), &size)) return std::nullopt;
    bytes.resize(size);
    // The header's primary-platform field names no platform (zero is the format's "none");
    // the profile ID is not computed, so no checksum needs updating.
    if (bytes.size() >= 44) std::fill(bytes.begin() + 40, bytes.begin() + 44, std::uint8_t{0});
    return bytes;
}

bool isGrey(void* profile) {
    return cmsGetColorSpace(profile) == cmsSigGrayData;
}
bool isUsable(void* profile) {
    return profile && (cmsGetColorSpace(profile) == cmsSigRgbData || cmsGetColorSpace(profile) == cmsSigGrayData);
}

class IdentityConversion final : public ColorConversion {
public:
    bool isIdentity() const override { return true; }
    void convert(std::uint8_t*, std::size_t, AlphaMode) const override {}
    void convert(float*, std::size_t, AlphaMode) const override {}
};

// Converts in chunks through packed buffers of the two spaces' own channel counts, so RGB and
// grey spaces mix freely and alpha never passes through the colour engine.
class LcmsConversion final : public ColorConversion {
public:
    LcmsConversion(cmsHTRANSFORM bytes, cmsHTRANSFORM floats, int inChannels, int outChannels)
        : bytes_(bytes), floats_(floats), in_(inChannels), out_(outChannels) {}
    ~LcmsConversion() override {
        cmsDeleteTransform(bytes_);
        cmsDeleteTransform(floats_);
    }
    bool isIdentity() const override { return false; }
    void convert(std::uint8_t* rgba, std::size_t count, AlphaMode alpha) const override {
        run(rgba, count, alpha, bytes_);
    }
    void convert(float* rgba, std::size_t count, AlphaMode alpha) const override { run(rgba, count, alpha, floats_); }

private:
    template <class T>
    void run(T* rgba, std::size_t count, AlphaMode alpha, cmsHTRANSFORM transform) const {
        constexpr std::size_t kChunk = 512;
        constexpr bool isByte = std::is_same_v<T, std::uint8_t>;
        const float one = isByte ? 255.0f : 1.0f;
        T in[kChunk * 3], out[kChunk * 3];
        for (std::size_t start = 0; start < count; start += kChunk) {
            const std::size_t n = std::min(kChunk, count - start);
            T* px = rgba + start * 4;
            for (std::size_t i = 0; i < n; ++i) {
                const float a = static_cast<float>(px[i * 4 + 3]) / one;
                const bool divide = alpha == AlphaMode::Premultiplied && a > 0 && a < 1;
                for (int c = 0; c < in_; ++c) {
                    float v = static_cast<float>(px[i * 4 + c]);
                    if (divide) v /= a;
                    in[i * in_ + c] = isByte ? static_cast<T>(std::min(v + 0.5f, 255.0f)) : static_cast<T>(v);
                }
            }
            cmsDoTransform(transform, in, out, static_cast<cmsUInt32Number>(n));
            for (std::size_t i = 0; i < n; ++i) {
                const float a = static_cast<float>(px[i * 4 + 3]) / one;
                const bool multiply = alpha == AlphaMode::Premultiplied && a < 1;
                for (int c = 0; c < 3; ++c) {
                    float v = static_cast<float>(out[i * out_ + (out_ == 3 ? c : 0)]);
                    if (multiply) v *= a;
                    px[i * 4 + c] = isByte ? static_cast<T>(v + 0.5f) : static_cast<T>(v);
                }
            }
        }
    }

    cmsHTRANSFORM bytes_;
    cmsHTRANSFORM floats_;
    int in_, out_;
};

std::shared_ptr<const ColorConversion> makeConversion(void* from, void* to) {
    if (!isUsable(from) || !isUsable(to)) return nullptr;
    const bool greyIn = isGrey(from), greyOut = isGrey(to);
    const cmsUInt32Number flags = cmsFLAGS_NOCACHE;  // shared across threads
    cmsHTRANSFORM bytes = cmsCreateTransform(from, greyIn ? TYPE_GRAY_8 : TYPE_RGB_8, to,
                                             greyOut ? TYPE_GRAY_8 : TYPE_RGB_8, INTENT_PERCEPTUAL, flags);
    cmsHTRANSFORM floats = cmsCreateTransform(from, greyIn ? TYPE_GRAY_FLT : TYPE_RGB_FLT, to,
                                              greyOut ? TYPE_GRAY_FLT : TYPE_RGB_FLT, INTENT_PERCEPTUAL, flags);
    if (!bytes || !floats) {
        if (bytes) cmsDeleteTransform(bytes);
        if (floats) cmsDeleteTransform(floats);
        return nullptr;
    }
    return std::make_shared<LcmsConversion>(bytes, floats, greyIn ? 1 : 3, greyOut ? 1 : 3);
}

ProfileHandle profileForName(std::string_view name) {
    auto space = CGColorSpace::createWithName(name);
    if (!space) return nullptr;
    return buildProfile(*space);
}

}  // namespace

void ColorConversion::convert(RasterRGBA8& raster) const {
    if (raster.isValid()) convert(raster.pixels.data(), raster.pixels.size() / 4, raster.alpha);
}

std::optional<Bytes> iccProfileForColorSpace(std::string_view name) {
    static std::mutex mutex;
    static std::map<std::string, Bytes, std::less<>> made;
    std::lock_guard lock(mutex);
    if (auto it = made.find(name); it != made.end()) return it->second;
    ProfileHandle profile = profileForName(name);
    if (!profile) return std::nullopt;
    auto bytes = serialise(profile.get());
    if (bytes) made.emplace(std::string(name), *bytes);
    return bytes;
}

std::optional<std::string> iccProfileDescription(std::span<const std::uint8_t> profile) {
    if (profile.empty()) return std::nullopt;
    ProfileHandle handle(cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size())));
    if (!handle) return std::nullopt;
    char text[256] = {};
    if (cmsGetProfileInfoASCII(handle.get(), cmsInfoDescription, "en", "US", text, sizeof text) == 0)
        return std::string();
    return std::string(text);
}

std::shared_ptr<const ColorConversion> colorConversion(std::string_view fromName, std::string_view toName) {
    static std::mutex mutex;
    static std::map<std::pair<std::string, std::string>, std::shared_ptr<const ColorConversion>> made;
    std::lock_guard lock(mutex);
    std::pair<std::string, std::string> key{std::string(fromName), std::string(toName)};
    if (auto it = made.find(key); it != made.end()) return it->second;
    ProfileHandle from = profileForName(fromName);
    ProfileHandle to = profileForName(toName);
    if (!from || !to) return nullptr;
    std::shared_ptr<const ColorConversion> conversion =
        fromName == toName ? std::make_shared<IdentityConversion>() : makeConversion(from.get(), to.get());
    if (conversion) made.emplace(std::move(key), conversion);
    return conversion;
}

std::shared_ptr<const ColorConversion> colorConversionFromProfile(std::span<const std::uint8_t> profile,
                                                                  std::string_view toName) {
    if (profile.empty() || profile.size() > (64u << 20)) return nullptr;
    ProfileHandle from(cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size())));
    ProfileHandle to = profileForName(toName);
    if (!from || !to) return nullptr;
    return makeConversion(from.get(), to.get());
}

bool convertCmykToSRGB(std::span<const std::uint8_t> profile, std::uint8_t* pixels, std::size_t count, bool inverted) {
    if (profile.empty() || profile.size() > (64u << 20)) return false;
    ProfileHandle from(cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size())));
    ProfileHandle to = profileForName(kCGColorSpaceSRGB);
    if (!from || !to || cmsGetColorSpace(from.get()) != cmsSigCmykData) return false;
    // Four bytes in, four out: lcms converts in place. The fourth output byte is left as it was.
    cmsHTRANSFORM transform = cmsCreateTransform(from.get(), inverted ? TYPE_CMYK_8_REV : TYPE_CMYK_8, to.get(),
                                                 TYPE_RGBA_8, INTENT_PERCEPTUAL, cmsFLAGS_NOCACHE);
    if (!transform) return false;
    cmsDoTransform(transform, pixels, pixels, static_cast<cmsUInt32Number>(count));
    cmsDeleteTransform(transform);
    for (std::size_t i = 0; i < count; ++i) pixels[i * 4 + 3] = 255;
    return true;
}
