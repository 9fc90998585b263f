// Tone-curve files: the curves, the lookup and the colour cube made from them.
#include "filter/format_acv.h"
#include "fuzz/fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Bytes bytes = fuzzBytes(data, size);
    if (auto curves = FormatACV::parse0(bytes))
        for (const auto& curve : *curves) (void)FormatACV::getPreparedSplineCurve(curve);
    if (auto table = FormatACV::lookup(bytes)) (void)FormatACV::cube(*table);
    return 0;
}
