// Helpers on byte buffers: text decoding, atomic saving, a NUL-terminated range search and the
// codecs (Base32, COBS, zlib, gzip, SHA-1 hex). Every codec answers none for input it cannot read.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "platform/runtime/range.h"
#include "platform/runtime/value.h"

// The bytes as UTF-8 text; none when they are not valid UTF-8.
std::optional<std::string> string_utf8(const Bytes& data);
// Writes the bytes atomically and durably (aside, flushed, renamed into place, folder flushed);
// false when that fails.
bool saveToPath(const Bytes& data, const std::string& path);
// From start up to (not including) the first zero byte at or after it; {NSNotFound, 0} otherwise.
NSRange rangeOfNullTerminatedBytesFrom(const Bytes& data, std::size_t start);

// Base32 of RFC 4648 without "=" padding.
std::string base32String(const Bytes& data);
// Case-insensitive Base32 decoding; none for lengths no group can end at, unknown characters
// (padding included) and non-zero unused bits.
std::optional<Bytes> dataWithBase32String(std::string_view text);

// Consistent Overhead Byte Stuffing without a trailing delimiter.
Bytes encodeCOBS(const Bytes& data);
// The inverse, with the frame's terminating zero appended; none when a block is cut short.
std::optional<Bytes> decodeCOBS(const Bytes& data);

std::optional<Bytes> zlibDeflate(const Bytes& data);
// zlib-format data only.
std::optional<Bytes> zlibInflate(const Bytes& data);
std::optional<Bytes> gzipDeflate(const Bytes& data);
// gzip- or zlib-format data, detected from the header.
std::optional<Bytes> gzipInflate(const Bytes& data);
inline std::optional<Bytes> jsonCompress(const Bytes& data) {
    return gzipDeflate(data);
}
inline std::optional<Bytes> jsonExtract(const Bytes& data) {
    return gzipInflate(data);
}

// SHA-1 digest as 40 lower-case hexadecimal characters.
std::string sha1(const Bytes& data);
