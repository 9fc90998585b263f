// Code 128 encoder: symbol values per code set, the weighted modulo-103 check symbol, and the
// published bar/space widths of each symbol.
#include "platform/image/filters/generator/code128.h"

#include <cctype>

namespace {

// Widths bar, space, bar, space, bar, space of values 0...105, then the stop (seven widths).
constexpr const char* kPatterns[107] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213", "221312",
    "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132", "221231", "213212",
    "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211", "212123", "212321", "232121",
    "111323", "131123", "131321", "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331",
    "132131", "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131", "311123",
    "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111", "111224", "111422", "121124",
    "121421", "141122", "141221", "112214", "112412", "122114", "122411", "142112", "142211", "241211", "221114",
    "413111", "241112", "134111", "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112",
    "421211", "212141", "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "2331112"};

constexpr int kStartA = 103, kStartB = 104, kStartC = 105, kCodeA = 101, kCodeB = 100, kCodeC = 99, kStop = 106;

std::size_t digitRun(const std::vector<std::uint8_t>& m, std::size_t i) {
    std::size_t n = 0;
    while (i + n < m.size() && std::isdigit(m[i + n])) ++n;
    return n;
}

}  // namespace

std::optional<std::vector<bool>> encodeCode128(const std::vector<std::uint8_t>& m) {
    for (std::uint8_t c : m)
        if (c > 127) return std::nullopt;
    std::vector<int> values;
    int set = 0;  // 'A', 'B' or 'C'
    auto switchTo = [&](int next) {
        if (set == next) return;
        values.push_back(set == 0 ? (next == 'A'   ? kStartA
                                     : next == 'B' ? kStartB
                                                   : kStartC)
                                  : (next == 'A'   ? kCodeA
                                     : next == 'B' ? kCodeB
                                                   : kCodeC));
        set = next;
    };
    for (std::size_t i = 0; i < m.size();) {
        const std::size_t digits = digitRun(m, i);
        // Pairs of digits in set C pay off from four digits on (or two at the very start or end).
        if (digits >= 4 || (digits >= 2 && digits == m.size() - i && (set == 0 || set == 'C')) ||
            (set == 'C' && digits >= 2)) {
            switchTo('C');
            const std::size_t even = digits - digits % 2;
            for (std::size_t k = 0; k < even; k += 2) values.push_back((m[i + k] - '0') * 10 + (m[i + k + 1] - '0'));
            i += even;
            continue;
        }
        const std::uint8_t c = m[i++];
        if (c < 32) {
            switchTo('A');
            values.push_back(c + 64);
        } else if (set == 'A' && c < 96) {
            values.push_back(c - 32);
        } else {
            switchTo('B');
            values.push_back(c - 32);
        }
    }
    if (set == 0) values.push_back(kStartB);  // an empty message: start, check, stop
    long sum = values[0];
    for (std::size_t i = 1; i < values.size(); ++i) sum += static_cast<long>(i) * values[i];
    values.push_back(static_cast<int>(sum % 103));
    values.push_back(kStop);
    std::vector<bool> modules;
    for (int v : values) {
        bool bar = true;
        for (const char* w = kPatterns[v]; *w; ++w, bar = !bar)
            modules.insert(modules.end(), static_cast<std::size_t>(*w - '0'), bar);
    }
    return modules;
}
