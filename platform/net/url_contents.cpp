// URL contents: one synchronous exchange and the detection of the text's encoding.
#include "platform/net/url_contents.h"

#include <cctype>
#include <optional>

#include "platform/net/url_session.h"
#include "platform/runtime/utf16.h"

namespace {

// The code points of bytes 0x80 to 0x9F in Windows-1252 (0 where the byte is undefined).
constexpr char16_t kCp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

}  // namespace

std::optional<NSStringEncoding> NSStringEncodingNamed(std::string_view label) {
    std::string name;
    for (char c : label) {
        if (c != '"' && c != '\'' && c != ' ') name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    if (name == "utf-8" || name == "utf8") return NSStringEncoding::UTF8;
    if (name == "iso-8859-1" || name == "latin1" || name == "iso_8859-1" || name == "us-ascii" || name == "ascii")
        return NSStringEncoding::ISOLatin1;
    if (name == "windows-1252" || name == "cp1252") return NSStringEncoding::WindowsCP1252;
    if (name == "utf-16le") return NSStringEncoding::UTF16LittleEndian;
    if (name == "utf-16be" || name == "utf-16") return NSStringEncoding::UTF16BigEndian;
    return std::nullopt;
}

std::optional<std::string> decodeText(const Bytes& bytes, NSStringEncoding encoding) {
    switch (encoding) {
        case NSStringEncoding::UTF8: {
            std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
            if (!isValidUtf8(text)) return std::nullopt;
            return std::string(text);
        }
        case NSStringEncoding::ISOLatin1:
        case NSStringEncoding::WindowsCP1252: {
            std::string out;
            for (std::uint8_t b : bytes) {
                char16_t unit = b;
                if (encoding == NSStringEncoding::WindowsCP1252 && b >= 0x80 && b < 0xA0) {
                    unit = kCp1252High[b - 0x80];
                    if (unit == 0) unit = b;
                }
                out += utf8FromUnit(unit);
            }
            return out;
        }
        case NSStringEncoding::UTF16LittleEndian:
        case NSStringEncoding::UTF16BigEndian: {
            if (bytes.size() % 2 != 0) return std::nullopt;
            bool little = encoding == NSStringEncoding::UTF16LittleEndian;
            std::u16string units;
            for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
                units += little ? static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8))
                                : static_cast<char16_t>((bytes[i] << 8) | bytes[i + 1]);
            }
            if (!units.empty() && units.front() == 0xFEFF) units.erase(0, 1);
            return fromUtf16(units);
        }
    }
    return std::nullopt;
}

Result<Bytes> dataWithContentsOfURL(const std::shared_ptr<NSURL>& url, std::size_t maximumLength) {
    if (!url) return fail("no URL");
    NSURLRequest request(url, NSURLRequestCachePolicy::ReloadIgnoringLocalCacheData);
    request.setMaximumBodyLength(maximumLength);
    URLSyncReply reply = sendSynchronousRequest(request);
    if (reply.error || !reply.data) return fail(reply.error ? reply.error->localizedDescription() : "no data");
    return std::move(*reply.data);
}

Result<std::string> stringWithContentsOfURL(const std::shared_ptr<NSURL>& url, NSStringEncoding* usedEncoding) {
    if (!url) return fail("no URL");
    URLSyncReply reply = sendSynchronousRequest(NSURLRequest(url));
    if (reply.error || !reply.data) return fail(reply.error ? reply.error->localizedDescription() : "no data");
    if (auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(reply.response); http && http->statusCode() >= 400) {
        return fail("HTTP status " + std::to_string(http->statusCode()));
    }
    const Bytes& bytes = *reply.data;
    std::optional<NSStringEncoding> encoding;
    if (reply.response && reply.response->textEncodingName())
        encoding = NSStringEncodingNamed(*reply.response->textEncodingName());
    if (!encoding) {
        if (bytes.size() >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
            encoding = NSStringEncoding::UTF16LittleEndian;
        } else if (bytes.size() >= 2 && bytes[0] == 0xFE && bytes[1] == 0xFF) {
            encoding = NSStringEncoding::UTF16BigEndian;
        } else {
            std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
            encoding = isValidUtf8(text) ? NSStringEncoding::UTF8 : NSStringEncoding::WindowsCP1252;
        }
    }
    std::optional<std::string> text = decodeText(bytes, *encoding);
    if (!text) return fail("the reply is not valid in its encoding");
    if (usedEncoding) *usedEncoding = *encoding;
    return std::move(*text);
}
