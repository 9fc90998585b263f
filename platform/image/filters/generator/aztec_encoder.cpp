// Aztec encoder following the published symbology: bytes through Binary Shift from the upper
// mode, bit stuffing into codewords of 6 to 12 bits, Reed-Solomon check words, the mode message,
// the bull's-eye finder with its orientation marks, the reference grid of full-range symbols and
// the layers wound around the centre.
#include "platform/image/filters/generator/aztec_encoder.h"

#include <algorithm>

#include "platform/image/filters/generator/reed_solomon.h"

namespace {

using Bits = std::vector<bool>;

void append(Bits& bits, unsigned value, int n) {
    for (int i = n - 1; i >= 0; --i) bits.push_back(((value >> i) & 1) != 0);
}

int wordSize(int layers) {
    return layers <= 2 ? 6 : layers <= 8 ? 8 : layers <= 22 ? 10 : 12;
}

int bitsInLayers(int layers, bool compact) {
    return ((compact ? 88 : 112) + 16 * layers) * layers;
}

const GaloisField& fieldFor(int bits) {
    static const GaloisField f4(4, 0x13, 1), f6(6, 0x43, 1), f8(8, 0x12D, 1), f10(10, 0x409, 1), f12(12, 0x1069, 1);
    switch (bits) {
        case 4: return f4;
        case 6: return f6;
        case 8: return f8;
        case 10: return f10;
        default: return f12;
    }
}

// Every byte through Binary Shift (code 31 of the upper mode), in runs of at most 2078.
Bits dataBits(const std::vector<std::uint8_t>& m) {
    Bits bits;
    for (std::size_t i = 0; i < m.size();) {
        const std::size_t n = std::min<std::size_t>(m.size() - i, 2047 + 31);
        append(bits, 31, 5);
        if (n <= 31) {
            append(bits, static_cast<unsigned>(n), 5);
        } else {
            append(bits, 0, 5);
            append(bits, static_cast<unsigned>(n - 31), 11);
        }
        for (std::size_t k = 0; k < n; ++k) append(bits, m[i + k], 8);
        i += n;
    }
    return bits;
}

// Codewords may not be all zeros or all ones: a word whose first bits are all equal gets the
// opposite bit last, and the bit it displaced starts the next word. The tail is padded with ones.
std::vector<unsigned> stuff(const Bits& bits, int size) {
    std::vector<unsigned> words;
    const unsigned mask = (1u << size) - 2;
    const long n = static_cast<long>(bits.size());
    for (long i = 0; i < n; i += size) {
        unsigned word = 0;
        for (int j = 0; j < size; ++j)
            if (i + j >= n || bits[static_cast<std::size_t>(i + j)]) word |= 1u << (size - 1 - j);
        if ((word & mask) == mask) {
            words.push_back(word & mask);
            --i;
        } else if ((word & mask) == 0) {
            words.push_back(word | 1);
            --i;
        } else {
            words.push_back(word);
        }
    }
    return words;
}

// Data words then check words filling totalBits, as bits with the leftover bits first (zeros).
Bits withCheckWords(const std::vector<unsigned>& words, int totalBits, int size) {
    const int totalWords = totalBits / size;
    std::vector<unsigned> check = fieldFor(size).checkWords(words, totalWords - static_cast<int>(words.size()));
    Bits out;
    append(out, 0, totalBits % size);
    for (unsigned w : words) append(out, w, size);
    for (unsigned w : check) append(out, w, size);
    return out;
}

}  // namespace

std::optional<ModuleMatrix> encodeAztec(const std::vector<std::uint8_t>& message, const AztecOptions& o) {
    if (message.empty() || o.correctionPercent < 5 || o.correctionPercent > 95 || o.layers < 0 || o.layers > 32)
        return std::nullopt;
    const Bits bits = dataBits(message);
    const long eccBits = static_cast<long>(bits.size()) * o.correctionPercent / 100 + 11;
    bool compact = false;
    int layers = 0;
    std::vector<unsigned> words;
    for (int c = 1; c >= 0 && layers == 0; --c) {
        if (o.compact >= 0 && o.compact != c) continue;
        for (int l = c || o.compact == 0 || o.layers ? 1 : 4; l <= (c ? 4 : 32); ++l) {
            if (o.layers && l != o.layers) continue;
            const int total = bitsInLayers(l, c);
            if (static_cast<long>(bits.size()) + eccBits > total) continue;
            const int size = wordSize(l);
            std::vector<unsigned> w = stuff(bits, size);
            const long usable = total - total % size;
            if (static_cast<long>(w.size()) > (c ? 64 : 2048)) continue;
            if (static_cast<long>(w.size()) * size + eccBits > usable) continue;
            compact = c, layers = l, words = std::move(w);
            break;
        }
    }
    if (layers == 0) return std::nullopt;
    const int size = wordSize(layers);
    const Bits symbolBits = withCheckWords(words, bitsInLayers(layers, compact), size);

    // The mode message: layers and data words, protected in 4-bit words.
    Bits mode;
    if (compact) {
        append(mode, static_cast<unsigned>(layers - 1), 2);
        append(mode, static_cast<unsigned>(words.size() - 1), 6);
    } else {
        append(mode, static_cast<unsigned>(layers - 1), 5);
        append(mode, static_cast<unsigned>(words.size() - 1), 11);
    }
    std::vector<unsigned> modeWords;
    for (std::size_t i = 0; i < mode.size(); i += 4) {
        unsigned w = 0;
        for (std::size_t k = 0; k < 4; ++k) w = w << 1 | (mode[i + k] ? 1u : 0u);
        modeWords.push_back(w);
    }
    const Bits modeBits = withCheckWords(modeWords, compact ? 28 : 40, 4);

    // Full-range symbols have reference grid lines every 16 modules from the centre: positions of
    // the layers skip them.
    const int base = (compact ? 11 : 14) + layers * 4;
    std::vector<int> at(static_cast<std::size_t>(base));
    int side = base;
    if (compact) {
        for (int i = 0; i < base; ++i) at[static_cast<std::size_t>(i)] = i;
    } else {
        side = base + 1 + 2 * ((base / 2 - 1) / 15);
        const int origin = base / 2, centre = side / 2;
        for (int i = 0; i < origin; ++i) {
            const int offset = i + i / 15;
            at[static_cast<std::size_t>(origin - i - 1)] = centre - offset - 1;
            at[static_cast<std::size_t>(origin + i)] = centre + offset + 1;
        }
    }
    ModuleMatrix m(side, side);
    auto A = [&at](int i) { return at[static_cast<std::size_t>(i)]; };
    auto bit = [&symbolBits](int i) { return symbolBits[static_cast<std::size_t>(i)]; };
    // Layers from the outside in; each is four arms of two-module-wide rows, clockwise.
    for (int i = 0, offset = 0; i < layers; ++i) {
        const int row = (layers - i) * 4 + (compact ? 9 : 12);
        for (int j = 0; j < row; ++j) {
            const int col = j * 2;
            for (int k = 0; k < 2; ++k) {
                if (bit(offset + col + k)) m.set(A(i * 2 + k), A(i * 2 + j), true);
                if (bit(offset + row * 2 + col + k)) m.set(A(i * 2 + j), A(base - 1 - i * 2 - k), true);
                if (bit(offset + row * 4 + col + k)) m.set(A(base - 1 - i * 2 - k), A(base - 1 - i * 2 - j), true);
                if (bit(offset + row * 6 + col + k)) m.set(A(base - 1 - i * 2 - j), A(i * 2 + k), true);
            }
        }
        offset += row * 8;
    }
    const int c = side / 2;
    // Mode message around the finder.
    if (compact) {
        for (int i = 0; i < 7; ++i) {
            const int p = c - 3 + i;
            if (modeBits[static_cast<std::size_t>(i)]) m.set(p, c - 5, true);
            if (modeBits[static_cast<std::size_t>(i + 7)]) m.set(c + 5, p, true);
            if (modeBits[static_cast<std::size_t>(20 - i)]) m.set(p, c + 5, true);
            if (modeBits[static_cast<std::size_t>(27 - i)]) m.set(c - 5, p, true);
        }
    } else {
        for (int i = 0; i < 10; ++i) {
            const int p = c - 5 + i + i / 5;
            if (modeBits[static_cast<std::size_t>(i)]) m.set(p, c - 7, true);
            if (modeBits[static_cast<std::size_t>(i + 10)]) m.set(c + 7, p, true);
            if (modeBits[static_cast<std::size_t>(29 - i)]) m.set(p, c + 7, true);
            if (modeBits[static_cast<std::size_t>(39 - i)]) m.set(c - 7, p, true);
        }
    }
    // Bull's-eye: dark rings at even distances, and the orientation marks at its corners.
    const int eye = compact ? 5 : 7;
    for (int i = 0; i < eye; i += 2)
        for (int j = c - i; j <= c + i; ++j) {
            m.set(j, c - i, true), m.set(j, c + i, true);
            m.set(c - i, j, true), m.set(c + i, j, true);
        }
    m.set(c - eye, c - eye, true), m.set(c - eye + 1, c - eye, true), m.set(c - eye, c - eye + 1, true);
    m.set(c + eye, c - eye, true), m.set(c + eye, c - eye + 1, true);
    m.set(c + eye, c + eye - 1, true);
    if (!compact)
        for (int i = 0, j = 0; i < base / 2 - 1; i += 15, j += 16)
            for (int k = c & 1; k < side; k += 2) {
                m.set(c - j, k, true), m.set(c + j, k, true);
                m.set(k, c - j, true), m.set(k, c + j, true);
            }
    return m;
}
