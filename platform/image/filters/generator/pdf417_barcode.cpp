// "CIPDF417BarcodeGenerator": inputMessage (data) as a PDF417 symbol, one pixel per module and
// three pixels per row, with two light modules of quiet zone on every side.
//   inputCorrectionLevel 0...8: the error correction level (unset: chosen by the message's length).
//   inputDataColumns 1...30, inputRows 3...90: the symbol's shape (0 or unset: chosen here).
//   inputMinWidth/inputMaxWidth, inputMinHeight/inputMaxHeight: limits on the image's size in
//   pixels, quiet zone included (0 or unset: no limit); inputPreferredAspectRatio: width over
//   height the chosen shape comes closest to (0 or unset: the encoder's own shape).
//   inputCompactStyle 1: the truncated symbol, without right row indicators.
//   inputCompactionMode 0...3 and inputAlwaysSpecifyCompaction 0/1 are checked but only hints:
//   the encoder picks the compaction that gives the fewest code words.
// No message, settings out of range, or a message that fits no allowed symbol give no output.
#include <cmath>
#include <limits>
#include <optional>

#include "platform/image/filters/filter_kit.h"
#include "platform/image/filters/generator/pdf417_encoder.h"

namespace {

constexpr int kQuiet = 2;

// An optional number input: unset leaves `value` as it is; anything but a finite number within
// [lo, hi] is refused.
bool readNumber(const CIFilter& f, const char* key, double lo, double hi, double& value) {
    const Value v = f.valueForKey(key);
    if (v.isNull()) return true;
    if (!v.isNumber()) return false;
    const double d = v.doubleValue();
    if (!(std::isfinite(d) && d >= lo && d <= hi)) return false;
    value = d;
    return true;
}

bool readInteger(const CIFilter& f, const char* key, int lo, int hi, int& value) {
    double d = value;
    if (!readNumber(f, key, lo, hi, d)) return false;
    value = static_cast<int>(std::lround(d));
    return true;
}

struct SizeLimits {
    double minWidth = 0, maxWidth = 0, minHeight = 0, maxHeight = 0;  // 0: no limit
    double aspect = 0;                                                // 0: no preference

    bool any() const { return minWidth > 0 || maxWidth > 0 || minHeight > 0 || maxHeight > 0; }
    bool allow(double w, double h) const {
        return w >= minWidth && (maxWidth <= 0 || w <= maxWidth) && h >= minHeight &&
               (maxHeight <= 0 || h <= maxHeight);
    }
};

double imageWidth(const PDF417Symbol& s) {
    return s.modules.width + 2.0 * kQuiet;
}
double imageHeight(const PDF417Symbol& s) {
    return s.modules.height + 2.0 * kQuiet;
}

// With free columns, tries every column count and keeps the symbol within the limits that is
// closest to the preferred aspect ratio, or else the smallest one.
std::optional<PDF417Symbol> chooseSymbol(const std::vector<std::uint8_t>& message, PDF417Options o,
                                         const SizeLimits& limits) {
    auto allowed = [&](const std::optional<PDF417Symbol>& s) {
        return s && limits.allow(imageWidth(*s), imageHeight(*s));
    };
    if (o.columns != 0 || limits.aspect <= 0) {
        auto s = encodePDF417(message, o);
        if (allowed(s)) return s;
        if (o.columns != 0 || !limits.any()) return std::nullopt;
    }
    std::optional<PDF417Symbol> best;
    double bestScore = std::numeric_limits<double>::infinity();
    for (int columns = 1; columns <= 30; ++columns) {
        o.columns = columns;
        auto s = encodePDF417(message, o);
        if (!allowed(s)) continue;
        const double w = imageWidth(*s), h = imageHeight(*s);
        const double score = limits.aspect > 0 ? std::abs(std::log(w / h / limits.aspect)) : w * h;
        if (score < bestScore) {
            bestScore = score;
            best = std::move(s);
        }
    }
    return best;
}

std::shared_ptr<CIImage> pdf417(const CIFilter& f) {
    std::vector<std::uint8_t> message;
    if (!messageBytes(f.valueForKey("inputMessage"), message)) return nullptr;

    PDF417Options o;
    SizeLimits limits;
    int compact = 0, compaction = 0, alwaysSpecify = 0;
    constexpr double kAny = std::numeric_limits<double>::max();
    if (!readInteger(f, "inputCorrectionLevel", 0, 8, o.level) ||
        !readInteger(f, "inputDataColumns", 0, 30, o.columns) || !readInteger(f, "inputRows", 0, 90, o.rows) ||
        !readInteger(f, "inputCompactStyle", 0, 1, compact) ||
        !readInteger(f, "inputCompactionMode", 0, 3, compaction) ||
        !readInteger(f, "inputAlwaysSpecifyCompaction", 0, 1, alwaysSpecify) ||
        !readNumber(f, "inputMinWidth", 0, kAny, limits.minWidth) ||
        !readNumber(f, "inputMaxWidth", 0, kAny, limits.maxWidth) ||
        !readNumber(f, "inputMinHeight", 0, kAny, limits.minHeight) ||
        !readNumber(f, "inputMaxHeight", 0, kAny, limits.maxHeight) ||
        !readNumber(f, "inputPreferredAspectRatio", 0, kAny, limits.aspect))
        return nullptr;
    if (o.rows != 0 && o.rows < 3) return nullptr;
    o.compact = compact != 0;

    auto symbol = chooseSymbol(message, o, limits);
    if (!symbol) return nullptr;
    return imageOfModules(symbol->modules, kQuiet, kQuiet);
}

}  // namespace

std::shared_ptr<CIFilter> makePDF417BarcodeFilter(const FilterDescription& d) {
    return makeFunctionFilter<pdf417>(d);
}
