// Reading a reply's body for the web view stand-in.
#include "platform/ui/controller/web_body.h"

#include <algorithm>
#include <string_view>

#include "platform/net/url_contents.h"
#include "platform/runtime/utf16.h"

namespace {

constexpr std::size_t kSniffLength = 512;

bool startsWith(const Bytes& body, std::string_view magic) {
    return body.size() >= magic.size() &&
           std::equal(magic.begin(), magic.end(), body.begin(),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// What a body without a declared type looks like, from its first bytes.
std::string sniffedType(const Bytes& body) {
    if (startsWith(body, "\x89PNG")) return "image/png";
    if (startsWith(body, "\xFF\xD8\xFF")) return "image/jpeg";
    if (startsWith(body, "GIF8")) return "image/gif";
    if (startsWith(body, "%PDF")) return "application/pdf";
    std::size_t n = std::min(body.size(), kSniffLength);
    if (std::find(body.begin(), body.begin() + static_cast<long>(n), 0) != body.begin() + static_cast<long>(n))
        return "application/octet-stream";
    return {};
}

bool looksLikeHTML(const std::string& mime, const std::string& text) {
    if (mime.find("html") != std::string::npos) return true;
    if (!mime.empty()) return false;
    auto start = text.find_first_not_of(" \t\r\n");
    return start != std::string::npos && text[start] == '<';
}

}  // namespace

bool isShowableText(const std::string& mime, const Bytes& body) {
    if (mime.empty()) return sniffedType(body).empty();
    if (mime.rfind("text/", 0) == 0) return true;
    for (const char* textual : {"html", "xml", "json", "javascript"}) {
        if (mime.find(textual) != std::string::npos) return true;
    }
    return false;
}

std::string decodeBody(const Bytes& body, const std::optional<std::string>& charset, bool html) {
    std::optional<std::string> label = charset;
    if (!label && html) label = metaCharset(std::string_view(reinterpret_cast<const char*>(body.data()), body.size()));
    auto encoding = label ? NSStringEncodingNamed(*label) : std::nullopt;
    if (encoding) {
        if (auto text = decodeText(body, *encoding)) return *text;
    }
    return sanitizedUtf8(std::string_view(reinterpret_cast<const char*>(body.data()), body.size()));
}

HTMLPage readPageBody(const Bytes& body, const std::string& mime, const std::optional<std::string>& charset,
                      const std::string& url) {
    if (!isShowableText(mime, body)) {
        std::string type = mime.empty() ? sniffedType(body) : mime;
        HTMLPage notice;
        notice.text = "This page is " + type + " content, which cannot be shown here.";
        return notice;
    }
    std::string head(body.begin(), body.begin() + static_cast<long>(std::min(body.size(), kSniffLength)));
    bool html = looksLikeHTML(mime, head);
    std::string text = decodeBody(body, charset, html);
    if (html) return parseHTMLPage(text, url);
    HTMLPage plain;
    plain.text = std::move(text);
    return plain;
}
