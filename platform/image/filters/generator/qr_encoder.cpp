// QR code encoder following the published symbology: byte-mode data, Reed-Solomon blocks
// interleaved, function patterns, zig-zag placement, the eight masks scored by the four penalty
// rules, and BCH-protected format and version information.
#include "platform/image/filters/generator/qr_encoder.h"

#include <algorithm>
#include <cstdlib>

#include "platform/image/filters/generator/reed_solomon.h"

namespace {

// Check words per block and number of blocks, by level (L M Q H) and version.
constexpr int kCheckPerBlock[4][41] = {
    {0,  7,  10, 15, 20, 26, 18, 20, 24, 30, 18, 20, 24, 26, 30, 22, 24, 28, 30, 28, 28,
     28, 28, 30, 30, 26, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {0,  10, 16, 26, 18, 24, 16, 18, 22, 22, 26, 30, 22, 22, 24, 24, 28, 28, 26, 26, 26,
     26, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28, 28},
    {0,  13, 22, 18, 26, 18, 24, 18, 22, 20, 24, 28, 26, 24, 20, 30, 24, 28, 28, 26, 30,
     28, 30, 30, 30, 30, 28, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30},
    {0,  17, 28, 22, 16, 22, 28, 26, 26, 24, 28, 24, 28, 22, 24, 24, 30, 28, 28, 26, 28,
     30, 24, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30, 30}};
constexpr int kBlocks[4][41] = {{0, 1, 1, 1,  1,  1,  2,  2,  2,  2,  4,  4,  4,  4,  4,  6,  6,  6,  6,  7, 8,
                                 8, 9, 9, 10, 12, 12, 12, 13, 14, 15, 16, 17, 18, 19, 19, 20, 21, 22, 24, 25},
                                {0,  1,  1,  1,  2,  2,  4,  4,  4,  5,  5,  5,  8,  9,  9,  10, 10, 11, 13, 14, 16,
                                 17, 17, 18, 20, 21, 23, 25, 26, 28, 29, 31, 33, 35, 37, 38, 40, 43, 45, 47, 49},
                                {0,  1,  1,  2,  2,  4,  4,  6,  6,  8,  8,  8,  10, 12, 16, 12, 17, 16, 18, 21, 20,
                                 23, 23, 25, 27, 29, 34, 34, 35, 38, 40, 43, 45, 48, 51, 53, 56, 59, 62, 65, 68},
                                {0,  1,  1,  2,  4,  4,  4,  5,  6,  8,  8,  11, 11, 16, 16, 18, 16, 19, 21, 25, 25,
                                 25, 34, 30, 32, 35, 37, 40, 42, 45, 48, 51, 54, 57, 60, 63, 66, 70, 74, 77, 81}};
// Level bits of the format information.
constexpr int kLevelBits[4] = {1, 0, 3, 2};

int rawModules(int v) {
    int n = (16 * v + 128) * v + 64;
    if (v >= 2) {
        const int align = v / 7 + 2;
        n -= (25 * align - 10) * align - 55;
        if (v >= 7) n -= 36;
    }
    return n;
}

int dataCodewords(int v, int level) {
    return rawModules(v) / 8 - kCheckPerBlock[level][v] * kBlocks[level][v];
}

std::vector<int> alignmentPositions(int v) {
    if (v == 1) return {};
    const int count = v / 7 + 2, size = v * 4 + 17;
    const int step = v == 32 ? 26 : (v * 4 + count * 2 + 1) / (count * 2 - 2) * 2;
    std::vector<int> p(static_cast<std::size_t>(count));
    p[0] = 6;
    for (int i = count - 1, pos = size - 7; i >= 1; --i, pos -= step) p[static_cast<std::size_t>(i)] = pos;
    return p;
}

class Symbol {
public:
    explicit Symbol(int version) : v_(version), size_(version * 4 + 17), m_(size_, size_), fn_(size_, size_) {}

    void drawFunctionPatterns() {
        for (int i = 0; i < size_; ++i) {
            put(6, i, i % 2 == 0);
            put(i, 6, i % 2 == 0);
        }
        finder(3, 3), finder(size_ - 4, 3), finder(3, size_ - 4);
        const auto a = alignmentPositions(v_);
        const std::size_t n = a.size();
        for (std::size_t i = 0; i < n; ++i)
            for (std::size_t j = 0; j < n; ++j)
                if (!((i == 0 && j == 0) || (i == 0 && j == n - 1) || (i == n - 1 && j == 0))) alignment(a[i], a[j]);
        format(0);  // reserves the areas; drawn for real once the mask is chosen
        version();
    }

    void placeData(const std::vector<std::uint8_t>& words) {
        std::size_t bit = 0;
        for (int right = size_ - 1; right >= 1; right -= 2) {
            if (right == 6) right = 5;
            for (int vert = 0; vert < size_; ++vert)
                for (int j = 0; j < 2; ++j) {
                    const int x = right - j;
                    const bool upward = ((right + 1) & 2) == 0;
                    const int y = upward ? size_ - 1 - vert : vert;
                    if (fn_.at(x, y)) continue;
                    if (bit < words.size() * 8) m_.set(x, y, (words[bit >> 3] >> (7 - (bit & 7))) & 1);
                    ++bit;
                }
        }
    }

    void applyMask(int mask) {
        for (int y = 0; y < size_; ++y)
            for (int x = 0; x < size_; ++x) {
                bool invert = false;
                switch (mask) {
                    case 0: invert = (x + y) % 2 == 0; break;
                    case 1: invert = y % 2 == 0; break;
                    case 2: invert = x % 3 == 0; break;
                    case 3: invert = (x + y) % 3 == 0; break;
                    case 4: invert = (x / 3 + y / 2) % 2 == 0; break;
                    case 5: invert = x * y % 2 + x * y % 3 == 0; break;
                    case 6: invert = (x * y % 2 + x * y % 3) % 2 == 0; break;
                    default: invert = ((x + y) % 2 + x * y % 3) % 2 == 0; break;
                }
                if (invert && !fn_.at(x, y)) m_.set(x, y, !m_.at(x, y));
            }
    }

    void format(int bits) {
        auto bit = [bits](int i) { return ((bits >> i) & 1) != 0; };
        for (int i = 0; i <= 5; ++i) put(8, i, bit(i));
        put(8, 7, bit(6)), put(8, 8, bit(7)), put(7, 8, bit(8));
        for (int i = 9; i < 15; ++i) put(14 - i, 8, bit(i));
        for (int i = 0; i < 8; ++i) put(size_ - 1 - i, 8, bit(i));
        for (int i = 8; i < 15; ++i) put(8, size_ - 15 + i, bit(i));
        put(8, size_ - 8, true);  // the dark module
    }

    long penalty() const {
        long score = 0;
        // Rule 1 (runs of five or more) and rule 3 (finder-like patterns), along rows and columns.
        for (int pass = 0; pass < 2; ++pass)
            for (int a = 0; a < size_; ++a) {
                int run = 0;
                bool last = false;
                std::vector<bool> line(static_cast<std::size_t>(size_));
                for (int b = 0; b < size_; ++b) {
                    const bool d = pass == 0 ? m_.at(b, a) : m_.at(a, b);
                    line[static_cast<std::size_t>(b)] = d;
                    if (b > 0 && d == last) {
                        ++run;
                    } else {
                        if (run >= 5) score += 3 + (run - 5);
                        run = 1;
                    }
                    last = d;
                }
                if (run >= 5) score += 3 + (run - 5);
                static constexpr bool kPattern[7] = {true, false, true, true, true, false, true};
                for (int b = 0; b + 7 <= size_; ++b) {
                    bool match = true;
                    for (int k = 0; k < 7 && match; ++k) match = line[static_cast<std::size_t>(b + k)] == kPattern[k];
                    if (!match) continue;
                    auto light = [&](int from, int to) {
                        for (int k = from; k < to; ++k)
                            if (k >= 0 && k < size_ && line[static_cast<std::size_t>(k)]) return false;
                        return true;
                    };
                    if (light(b - 4, b)) score += 40;
                    if (light(b + 7, b + 11)) score += 40;
                }
            }
        // Rule 2: 2 x 2 blocks of one colour.
        for (int y = 0; y + 1 < size_; ++y)
            for (int x = 0; x + 1 < size_; ++x) {
                const bool d = m_.at(x, y);
                if (d == m_.at(x + 1, y) && d == m_.at(x, y + 1) && d == m_.at(x + 1, y + 1)) score += 3;
            }
        // Rule 4: balance of dark and light.
        long dark = 0;
        for (bool d : m_.dark) dark += d ? 1 : 0;
        const long total = static_cast<long>(size_) * size_;
        score += ((std::labs(dark * 20 - total * 10) + total - 1) / total - 1) * 10;
        return score;
    }

    const ModuleMatrix& modules() const { return m_; }

private:
    void put(int x, int y, bool dark) {
        m_.set(x, y, dark);
        fn_.set(x, y, true);
    }
    void finder(int cx, int cy) {
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx) {
                const int d = std::max(std::abs(dx), std::abs(dy)), x = cx + dx, y = cy + dy;
                if (x >= 0 && y >= 0 && x < size_ && y < size_) put(x, y, d != 2 && d != 4);
            }
    }
    void alignment(int cx, int cy) {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx) put(cx + dx, cy + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
    }
    void version() {
        if (v_ < 7) return;
        int rem = v_;
        for (int i = 0; i < 12; ++i) rem = (rem << 1) ^ ((rem >> 11) * 0x1F25);
        const long bits = static_cast<long>(v_) << 12 | rem;
        for (int i = 0; i < 18; ++i) {
            const bool b = ((bits >> i) & 1) != 0;
            const int a = size_ - 11 + i % 3, c = i / 3;
            put(a, c, b), put(c, a, b);
        }
    }

    int v_, size_;
    ModuleMatrix m_, fn_;
};

int formatBits(int level, int mask) {
    const int data = kLevelBits[level] << 3 | mask;
    int rem = data;
    for (int i = 0; i < 10; ++i) rem = (rem << 1) ^ ((rem >> 9) * 0x537);
    return (data << 10 | rem) ^ 0x5412;
}

}  // namespace

std::optional<ModuleMatrix> encodeQR(const std::vector<std::uint8_t>& message, QRCorrection correction) {
    const int level = static_cast<int>(correction);
    int v = 1;
    for (; v <= 40; ++v) {
        const std::size_t bits = 4 + (v < 10 ? 8 : 16) + 8 * message.size();
        if (bits <= static_cast<std::size_t>(dataCodewords(v, level)) * 8 && message.size() < (v < 10 ? 256u : 65536u))
            break;
    }
    if (v > 40) return std::nullopt;
    // Mode, count and bytes, then terminator, byte padding and the alternating pad words.
    const std::size_t capacity = static_cast<std::size_t>(dataCodewords(v, level));
    std::vector<bool> bits;
    auto append = [&bits](unsigned value, int n) {
        for (int i = n - 1; i >= 0; --i) bits.push_back(((value >> i) & 1) != 0);
    };
    append(0x4, 4);
    append(static_cast<unsigned>(message.size()), v < 10 ? 8 : 16);
    for (std::uint8_t b : message) append(b, 8);
    append(0, static_cast<int>(std::min<std::size_t>(4, capacity * 8 - bits.size())));
    while (bits.size() % 8) bits.push_back(false);
    std::vector<unsigned> data;
    for (std::size_t i = 0; i < bits.size(); i += 8) {
        unsigned w = 0;
        for (std::size_t k = 0; k < 8; ++k) w = w << 1 | (bits[i + k] ? 1u : 0u);
        data.push_back(w);
    }
    for (unsigned pad = 0xEC; data.size() < capacity; pad ^= 0xEC ^ 0x11) data.push_back(pad);

    // Blocks: the short ones first, long ones one data word longer; then interleave.
    static const GaloisField field(8, 0x11D, 0);
    const int blocks = kBlocks[level][v], check = kCheckPerBlock[level][v];
    const int raw = rawModules(v) / 8, shortLen = raw / blocks, shortBlocks = blocks - raw % blocks;
    std::vector<std::vector<unsigned>> dataBlocks, checkBlocks;
    std::size_t k = 0;
    for (int i = 0; i < blocks; ++i) {
        const std::size_t len = static_cast<std::size_t>(shortLen - check + (i < shortBlocks ? 0 : 1));
        std::vector<unsigned> block(data.begin() + static_cast<long>(k), data.begin() + static_cast<long>(k + len));
        k += len;
        checkBlocks.push_back(field.checkWords(block, check));
        dataBlocks.push_back(std::move(block));
    }
    std::vector<std::uint8_t> words;
    for (std::size_t i = 0; i < dataBlocks.back().size(); ++i)
        for (const auto& b : dataBlocks)
            if (i < b.size()) words.push_back(static_cast<std::uint8_t>(b[i]));
    for (int i = 0; i < check; ++i)
        for (const auto& c : checkBlocks) words.push_back(static_cast<std::uint8_t>(c[static_cast<std::size_t>(i)]));

    Symbol base(v);
    base.drawFunctionPatterns();
    base.placeData(words);
    std::optional<ModuleMatrix> best;
    long bestScore = 0;
    for (int mask = 0; mask < 8; ++mask) {
        Symbol s = base;
        s.applyMask(mask);
        s.format(formatBits(level, mask));
        const long score = s.penalty();
        if (!best || score < bestScore) best = s.modules(), bestScore = score;
    }
    return best;
}
