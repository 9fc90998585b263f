// The catalogue's lists, each built on first read and kept, and its registration with Global.
#include "filter/filter_preset.h"

#include "filter/color_spaces.h"
#include "foundation/global.h"
#include "foundation/service_factory.h"
#include "platform/runtime/format.h"

namespace {

template <class F>
const Value& built(Value& slot, F build) {
    if (slot.isNull()) slot = build();
    return slot;
}

Value named(const char* name) {
    return Value::dictionary({{"name", Value(name)}});
}

Value editable(Value value = {}) {
    Value e = Value::dictionary({{"editable", Value(true)}});
    if (!value.isNull()) e.set("value", std::move(value));
    return e;
}

// One icon glyph of the private-use area as UTF-8.
std::string glyph(char32_t c) {
    std::string s;
    s += static_cast<char>(0xE0 | (c >> 12));
    s += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (c & 0x3F));
    return s;
}

}  // namespace

const Value& FilterPreset::descFace() {
    return built(descFace_, [] {
        Value gradient = Value::dictionary(
            {{"name", Value("CISmoothLinearGradient")},
             {"value",
              Value::dictionary({{"inputPoint0", editable()},
                                 {"inputColor0", editable()},
                                 {"inputPoint1", editable()},
                                 {"inputColor1", editable(Value::array({Value(0), Value(0), Value(0), Value(0)}))}})}});
        Value crop = Value::dictionary(
            {{"name", Value("CICrop")}, {"value", Value::dictionary({{"inputImage", editable(gradient)}})}});
        Value map = Value::dictionary({{"name", Value("CIColorMap")},
                                       {"value", Value::dictionary({{"inputImage", editable(named("CIGaussianBlur"))},
                                                                    {"inputGradientImage", editable(crop)}})}});
        return Value::array({named("CIRedEyeCorrection"), named("CIFaceBalance"), map});
    });
}

const Value& FilterPreset::descFlipRotate() {
    return built(descFlipRotate_, [] {
        std::string disp = formatString(
            "%@ %@ %@ %@", {Value(glyph(0xF07E)), Value(glyph(0xF07D)), Value(glyph(0xF0E2)), Value(glyph(0xF01E))});
        return Value::array({Value::dictionary({{"name", Value("CIAffineTransform")}, {"disp", Value(disp)}}),
                             named("CICrop"), named("CIStraightenFilter"), named("CIPerspectiveCorrection")});
    });
}

const Value& FilterPreset::descAdjustment() {
    return built(descAdjustment_, [] {
        Value out = Value::array();
        for (const char* name :
             {"CIColorControls", "CIExposureAdjust", "CIGammaAdjust", "CIHueAdjust", "CIToneCurve", "CIVibrance",
              "CIWhitePointAdjust", "CIVignette", "CIVignetteEffect", "CIColorPolynomial", "CIColorCrossPolynomial",
              "CIColorMonochrome", "CIColorPosterize", "CIFalseColor", "CISepiaTone", "CIXRay"})
            out.append(named(name));
        return out;
    });
}

const Value& FilterPreset::descBnW() {
    return built(descBnW_, [] { return descsFromCurves(namesBnW(), "BRIGHT %ld"); });
}
const Value& FilterPreset::descYellow() {
    return built(descYellow_, [] { return descsFromCurves(namesYellow(), "WARM %ld"); });
}
const Value& FilterPreset::descMagenta() {
    return built(descMagenta_, [] { return descsFromCurves(namesMagenta(), "MAGENTA %ld"); });
}
const Value& FilterPreset::descCyan() {
    return built(descCyan_, [] { return descsFromCurves(namesCyan(), "CYAN %ld"); });
}
const Value& FilterPreset::descBnW2() {
    return built(descBnW2_, [] { return descsFromCurves(namesBnW2(), ""); });
}
const Value& FilterPreset::descCyan2() {
    return built(descCyan2_, [] { return descsFromCurves(namesCyan2(), ""); });
}
const Value& FilterPreset::descYellow2() {
    return built(descYellow2_, [] { return descsFromCurves(namesYellow2(), ""); });
}

const std::vector<std::string>& FilterPreset::menuLabels() {
    static const std::vector<std::string> labels{"BRIGHT", "WARM", "MAGENTA", "CYAN"};
    return labels;
}

const Value& FilterPreset::menu(std::size_t index) {
    switch (index) {
        case 0: return descBnW();
        case 1: return descYellow();
        case 2: return descMagenta();
        case 3: return descCyan();
        default: return Value::null();
    }
}

std::string FilterPreset::presetKey(long menu, long item) {
    return formatString("%ld-%ld", {Value(menu), Value(item)});
}

void registerFilterServices() {
    ServiceFactory<FilterPreset>::registerMaker([] { return FilterPreset::make(); });
    ServiceFactory<ColorSpaces>::registerMaker([] { return ColorSpaces::make(); });
}
