// Escaping text for a terminal.
#include "platform/runtime/printable_text.h"

#include <unicode/utf8.h>

#include <algorithm>
#include <cstdint>

namespace {

void appendEscapedByte(std::string& out, unsigned char byte) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    out += "\\x";
    out += kHex[byte >> 4];
    out += kHex[byte & 0xF];
}

// The marks and overrides that reorder the text around them on a terminal that lays out both
// directions: a path could be shown as another.
bool isBidirectionalControl(UChar32 codePoint) {
    return codePoint == 0x061C || codePoint == 0x200E || codePoint == 0x200F ||
           (codePoint >= 0x202A && codePoint <= 0x202E) || (codePoint >= 0x2066 && codePoint <= 0x2069);
}

}  // namespace

std::string printableText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(std::min<std::size_t>(text.size(), INT32_MAX));
    for (std::int32_t i = 0; i < length;) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x80) {
            const std::int32_t begin = i;
            UChar32 codePoint;
            U8_NEXT(bytes, i, length, codePoint);
            // Not UTF-8 (negative), a C1 control or a bidirectional control: every byte of it
            // spelled out.
            if (codePoint <= 0x9F || isBidirectionalControl(codePoint))
                for (std::int32_t k = begin; k < i; ++k) appendEscapedByte(out, bytes[k]);
            else
                out.append(text.substr(std::size_t(begin), std::size_t(i - begin)));
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
