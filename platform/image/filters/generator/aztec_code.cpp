// "CIAztecCodeGenerator": inputMessage (data) as an Aztec symbol, one pixel per module with one
// light module of margin. inputCorrectionLevel is the share of check words in percent (5...95);
// inputLayers and inputCompactStyle, when set, fix the symbol's layers and kind. Messages that do
// not fit, or settings out of range, give no output.
#include <cmath>

#include "platform/image/filters/filter_kit.h"
#include "platform/image/filters/generator/aztec_encoder.h"

namespace {

std::shared_ptr<CIImage> aztecCode(const CIFilter& f) {
    std::vector<std::uint8_t> message;
    if (!messageBytes(f.valueForKey("inputMessage"), message)) return nullptr;
    AztecOptions o;
    const double level = f.numberInput("inputCorrectionLevel", 23);
    if (!(level >= 5 && level <= 95)) return nullptr;
    o.correctionPercent = static_cast<int>(std::lround(level));
    if (const Value v = f.valueForKey("inputLayers"); v.isNumber()) {
        const double l = v.doubleValue();
        if (!(l >= 1 && l <= 32)) return nullptr;
        o.layers = static_cast<int>(std::lround(l));
    }
    if (const Value v = f.valueForKey("inputCompactStyle"); v.isNumber()) o.compact = v.doubleValue() != 0 ? 1 : 0;
    auto symbol = encodeAztec(message, o);
    if (!symbol) return nullptr;
    return imageOfModules(*symbol, 1, 1);
}

}  // namespace

std::shared_ptr<CIFilter> makeAztecCodeFilter(const FilterDescription& d) {
    return makeFunctionFilter<aztecCode>(d);
}
