// Escaping text for a terminal.
#include "platform/runtime/printable_text.h"

#include <cstdint>

namespace {

void appendEscapedByte(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

// The length of the well-formed UTF-8 sequence at `i` (2 to 4 bytes), with its code point; 0 when
// the bytes there are no such sequence (stray, cut short, overlong, a surrogate, past U+10FFFF).
std::size_t utf8Sequence(std::string_view text, std::size_t i, std::uint32_t& codePoint) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t length = lead >= 0xF0 && lead <= 0xF4 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC2 && lead < 0xE0 ? 2 : 0;
    if (length == 0 || lead > 0xF4 || i + length > text.size()) return 0;
    codePoint = lead & (0x7F >> length);
    for (std::size_t k = 1; k < length; ++k) {
        const auto next = static_cast<unsigned char>(text[i + k]);
        if ((next & 0xC0) != 0x80) return 0;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    static constexpr std::uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (codePoint < kSmallest[length] || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::string printableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            std::uint32_t codePoint = 0;
            const std::size_t length = utf8Sequence(text, i, codePoint);
            if (length == 0 || codePoint <= 0x9F) {
                // Not UTF-8, or a C1 control: every byte of it spelled out.
                const std::size_t end = i + (length == 0 ? 1 : length);
                for (; i < end; ++i) appendEscapedByte(out, static_cast<unsigned char>(text[i]));
                continue;
            }
            out.append(text.substr(i, length));
            i += length;
            continue;
        }
        if (byte == '\\')
            out += "\\\\";
        else if (byte == '\t')
            out += "\\t";
        else if (byte == '\n')
            out += "\\n";
        else if (byte == '\r')
            out += "\\r";
        else if (byte < 0x20 || byte == 0x7F)
            appendEscapedByte(out, byte);
        else
            out += char(byte);
        ++i;
    }
    return out;
}
