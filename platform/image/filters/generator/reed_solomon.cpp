// Reed-Solomon check words: the remainder of data x^n divided by the generator polynomial
// (x - a^base)(x - a^(base+1))...(x - a^(base+n-1)).
#include "platform/image/filters/generator/reed_solomon.h"

GaloisField::GaloisField(int bits, unsigned polynomial, int base)
    : size_(1 << bits), base_(base), exp_(static_cast<std::size_t>(2 * size_)), log_(static_cast<std::size_t>(size_)) {
    unsigned x = 1;
    for (int i = 0; i < size_ - 1; ++i) {
        exp_[static_cast<std::size_t>(i)] = x;
        log_[x] = static_cast<unsigned>(i);
        x <<= 1;
        if (x & static_cast<unsigned>(size_)) x ^= polynomial;
    }
    for (int i = size_ - 1; i < 2 * size_; ++i)
        exp_[static_cast<std::size_t>(i)] = exp_[static_cast<std::size_t>(i - (size_ - 1))];
}

unsigned GaloisField::multiply(unsigned a, unsigned b) const {
    if (a == 0 || b == 0) return 0;
    return exp_[log_[a] + log_[b]];
}

std::vector<unsigned> GaloisField::checkWords(const std::vector<unsigned>& data, int count) const {
    // Generator coefficients, highest power first.
    std::vector<unsigned> poly{1};
    for (int i = 0; i < count; ++i) {
        const unsigned root = exp_[static_cast<std::size_t>((base_ + i) % (size_ - 1))];
        std::vector<unsigned> next(poly.size() + 1, 0);
        for (std::size_t k = 0; k < poly.size(); ++k) {
            next[k] ^= poly[k];
            next[k + 1] ^= multiply(poly[k], root);
        }
        poly = std::move(next);
    }
    std::vector<unsigned> rem(static_cast<std::size_t>(count), 0);
    for (unsigned d : data) {
        const unsigned factor = d ^ rem.front();
        rem.erase(rem.begin());
        rem.push_back(0);
        for (std::size_t k = 0; k < rem.size(); ++k) rem[k] ^= multiply(poly[k + 1], factor);
    }
    return rem;
}
