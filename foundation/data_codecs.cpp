// Base32 and COBS codecs and the SHA-1 hex digest.
#include <openssl/evp.h>

#include "foundation/data_custom.h"

namespace {

constexpr char kBase32Alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ234567";

int base32Digit(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a';
    if (c >= '2' && c <= '7') return c - '2' + 26;
    return -1;
}

}  // namespace

std::string base32String(const Bytes& data) {
    std::string out;
    out.reserve((data.size() * 8 + 4) / 5);
    std::uint32_t buffer = 0;
    int bits = 0;
    for (std::uint8_t byte : data) {
        buffer = (buffer << 8) | byte;
        bits += 8;
        while (bits >= 5) {
            bits -= 5;
            out += kBase32Alphabet[(buffer >> bits) & 31];
        }
    }
    if (bits > 0) out += kBase32Alphabet[(buffer << (5 - bits)) & 31];
    return out;
}

std::optional<Bytes> dataWithBase32String(std::string_view text) {
    std::size_t n = text.size();
    for (unsigned char c : text) {
        if (c >= 0x80) return std::nullopt;
    }
    std::size_t rest = n % 8;
    if (rest == 1 || rest == 3 || rest == 6) return std::nullopt;
    Bytes out;
    out.reserve(n * 5 / 8);
    std::uint32_t buffer = 0;
    int bits = 0;
    for (unsigned char c : text) {
        int digit = base32Digit(c);
        if (digit < 0) return std::nullopt;
        buffer = ((buffer << 5) | static_cast<std::uint32_t>(digit)) & 0xFFFF;
        bits += 5;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<std::uint8_t>(buffer >> bits));
        }
    }
    // The bits left over from a short last group must all be zero.
    if (bits > 0 && (buffer & ((1u << bits) - 1)) != 0) return std::nullopt;
    return out;
}

Bytes encodeCOBS(const Bytes& data) {
    if (data.empty()) return data;
    Bytes out;
    out.reserve(data.size() + data.size() / 254 + 2);
    std::size_t codeIndex = 0;
    out.push_back(0);
    std::uint8_t code = 1;
    for (std::uint8_t byte : data) {
        if (byte == 0) {
            out[codeIndex] = code;
            codeIndex = out.size();
            out.push_back(0);
            code = 1;
            continue;
        }
        out.push_back(byte);
        if (++code == 255) {
            out[codeIndex] = code;
            codeIndex = out.size();
            out.push_back(0);
            code = 1;
        }
    }
    out[codeIndex] = code;
    return out;
}

std::optional<Bytes> decodeCOBS(const Bytes& data) {
    if (data.empty()) return data;
    Bytes out;
    out.reserve(data.size());
    std::size_t i = 0;
    while (i < data.size()) {
        std::uint8_t code = data[i++];
        if (code >= 2) {
            std::size_t count = code - 1u;
            if (count > data.size() - i) return std::nullopt;  // the block claims more than remains
            out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(i),
                       data.begin() + static_cast<std::ptrdiff_t>(i + count));
            i += count;
        }
        if (code < 255) out.push_back(0);
    }
    return out;
}

std::string sha1(const Bytes& data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(data.data(), data.size(), digest, &length, EVP_sha1(), nullptr) != 1) return {};
    static const char* hex = "0123456789abcdef";
    std::string out;
    out.reserve(length * 2);
    for (unsigned int i = 0; i < length; ++i) {
        out += hex[digest[i] >> 4];
        out += hex[digest[i] & 15];
    }
    return out;
}
