// "CICode128BarcodeGenerator": inputMessage (ASCII data) as Code 128 bars, one pixel per module,
// inputBarcodeHeight pixels tall with inputQuietSpace light pixels on every side. Bytes above 127
// give no output.
#include <cmath>

#include "platform/image/filters/filter_kit.h"
#include "platform/image/filters/generator/code128.h"
#include "platform/image/filters/generator/module_image.h"

namespace {

std::shared_ptr<CIImage> code128(const CIFilter& f) {
    std::vector<std::uint8_t> message;
    if (!messageBytes(f.valueForKey("inputMessage"), message)) return nullptr;
    const double quiet = f.numberInput("inputQuietSpace", 10), height = f.numberInput("inputBarcodeHeight", 32);
    if (!(quiet >= 0 && quiet <= 1000 && height >= 1 && height <= 10000)) return nullptr;
    auto bars = encodeCode128(message);
    if (!bars) return nullptr;
    ModuleMatrix m(static_cast<int>(bars->size()), static_cast<int>(std::lround(height)));
    for (int y = 0; y < m.height; ++y)
        for (int x = 0; x < m.width; ++x) m.set(x, y, (*bars)[static_cast<std::size_t>(x)]);
    const int q = static_cast<int>(std::lround(quiet));
    return imageOfModules(m, q, q);
}

}  // namespace

std::shared_ptr<CIFilter> makeCode128BarcodeFilter(const FilterDescription& d) {
    return makeFunctionFilter<code128>(d);
}
