// PDF417 through libzint: the library picks the compaction and draws the code words; this file
// sets the shape, checks that the library kept it, and copies the modules out.
#include "platform/image/filters/generator/pdf417_encoder.h"

#include <zint.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// No symbol holds more than 2710 digits; longer input is refused before the library sees it.
constexpr std::size_t kLongestMessage = 4096;

struct SymbolDelete {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};
using SymbolPtr = std::unique_ptr<zint_symbol, SymbolDelete>;

struct Attempt {
    SymbolPtr symbol;
    int status = ZINT_ERROR_ENCODING_PROBLEM;
};

Attempt encodeAt(const std::vector<std::uint8_t>& message, const PDF417Options& o, int level) {
    Attempt a{SymbolPtr(ZBarcode_Create())};
    if (!a.symbol) return a;
    zint_symbol* s = a.symbol.get();
    s->symbology = o.compact ? BARCODE_PDF417COMP : BARCODE_PDF417;
    s->input_mode = DATA_MODE;  // the bytes as they are, no character set conversion
    s->option_1 = level;
    s->option_2 = o.columns;
    s->option_3 = o.rows;
    // A warning means the library changed what was asked (more columns, another level): refuse it.
    s->warn_level = WARN_FAIL_ALL;
    a.status = ZBarcode_Encode(s, message.data(), static_cast<int>(message.size()));
    return a;
}

bool moduleIsDark(const zint_symbol& s, int row, int x) {
    return (s.encoded_data[row][x >> 3] >> (x & 7)) & 1;
}

}  // namespace

std::optional<PDF417Symbol> encodePDF417(const std::vector<std::uint8_t>& message, const PDF417Options& o) {
    if (message.empty() || message.size() > kLongestMessage) return std::nullopt;
    if (o.columns < 0 || o.columns > 30 || (o.rows != 0 && (o.rows < 3 || o.rows > 90)) || o.level < -1 || o.level > 8)
        return std::nullopt;

    Attempt a = encodeAt(message, o, o.level);
    // The library's own level grows with the message; when that level no longer fits, the
    // strongest lower level that does is still a valid choice for "any level".
    for (int level = 4; o.level < 0 && a.status == ZINT_ERROR_TOO_LONG && level >= 0; --level)
        a = encodeAt(message, o, level);
    if (!a.symbol || a.status >= ZINT_ERROR) return std::nullopt;

    const zint_symbol& s = *a.symbol;
    const int overhead = o.compact ? 2 : 4;  // start and stop patterns with the row indicators
    if (s.rows < 3 || s.rows > 90 || s.width < 1 || (s.width - 1) % 17 != 0) return std::nullopt;
    PDF417Symbol out;
    out.rows = s.rows;
    out.columns = (s.width - 1) / 17 - overhead;
    out.rowHeight = std::max(1, static_cast<int>(std::lround(s.height / static_cast<float>(s.rows))));
    if (out.columns < 1 || (o.columns != 0 && out.columns != o.columns) || (o.rows != 0 && out.rows != o.rows))
        return std::nullopt;

    out.modules = ModuleMatrix(s.width, s.rows * out.rowHeight);
    for (int row = 0; row < s.rows; ++row)
        for (int x = 0; x < s.width; ++x) {
            const bool dark = moduleIsDark(s, row, x);
            for (int k = 0; k < out.rowHeight; ++k) out.modules.set(x, row * out.rowHeight + k, dark);
        }
    return out;
}
