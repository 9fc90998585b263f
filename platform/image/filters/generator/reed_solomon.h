// Reed-Solomon error correction codewords over GF(2^m), as barcode symbologies use them.
#pragma once

#include <cstdint>
#include <vector>

class GaloisField {
public:
    // Field of 2^bits elements with the given primitive polynomial; generator powers start at
    // alpha^base (0 for QR, 1 for Aztec).
    GaloisField(int bits, unsigned polynomial, int base);
    unsigned multiply(unsigned a, unsigned b) const;
    // The `count` check words of `data` (each word below 2^bits).
    std::vector<unsigned> checkWords(const std::vector<unsigned>& data, int count) const;

private:
    int size_;
    int base_;
    std::vector<unsigned> exp_, log_;
};
