// URL and query escaping, query parsing, address checks and the pattern helpers.
#include <string_view>

#include "foundation/string_custom_escaping.h"
#include "platform/text/character_set.h"
#include "platform/text/regular_expression.h"
#include "platform/text/string_character_sets.h"

namespace {

// Letters, digits, the unreserved marks and the reserved delimiters a URL carries as they are;
// "#", "%", "[", "]" and blanks are escaped, so a value never opens a fragment or a bad escape.
const NSCharacterSet& urlAllowed() {
    static const NSCharacterSet set = NSCharacterSet::characterSetWithCharactersInString(
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-._~!*'()$&+,;=:/?@");
    return set;
}

const char* queryEscape(char c) {
    switch (c) {
        case '$': return "%24";
        case '&': return "%26";
        case '+': return "%2B";
        case ',': return "%2C";
        case '/': return "%2F";
        case ':': return "%3A";
        case ';': return "%3B";
        case '=': return "%3D";
        case '?': return "%3F";
        case '@': return "%40";
        default: return nullptr;
    }
}

bool isAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> pieces;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = text.find(separator, start);
        pieces.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
        if (end == std::string_view::npos) return pieces;
        start = end + 1;
    }
}

}  // namespace

std::string escapeURL(std::string_view text) {
    return stringByAddingPercentEncodingWithAllowedCharacters(text, urlAllowed());
}

std::optional<std::string> unescapeURL(std::string_view text) {
    return stringByRemovingPercentEncoding(text);
}

std::string escapeQueryParam(std::string_view text) {
    std::string escaped = escapeURL(text);
    std::string out;
    out.reserve(escaped.size());
    for (char c : escaped) {
        if (const char* escape = queryEscape(c)) {
            out += escape;
        } else {
            out += c;
        }
    }
    return out;
}

std::string urlencode(std::string_view text) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (c == ' ') {
            out += '+';
        } else if (isAsciiAlnum(c) || c == '-' || c == '.' || c == '_' || c == '~') {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    return out;
}

Value webQueryDict(std::string_view query) {
    ValueDictionary pairs;
    for (std::string_view piece : split(query, '&')) {
        std::vector<std::string_view> parts = split(piece, '=');
        if (parts.size() < 2) continue;
        pairs.set(std::string(parts[0]), Value(std::string(parts[1])));
    }
    if (pairs.empty()) return Value();
    return Value(std::move(pairs));
}

Value webQueryDict0(std::string_view address) {
    std::size_t question = address.find('?');
    if (question == std::string_view::npos) return Value();
    return webQueryDict(address.substr(question + 1));
}

std::string makeDownloadable(std::string_view address) {
    if (address.find("http://") != std::string_view::npos || address.find("https://") != std::string_view::npos)
        return std::string(address);
    return "https://" + std::string(address);
}

bool isRemoteURL(std::string_view address) {
    return !address.empty() && address.find("://") != std::string_view::npos;
}

bool isDownloadableURL(std::string_view address) {
    if (!isRemoteURL(address)) return false;
    std::string escaped = escapeURL(address);
    // scheme ":" "//" authority, where the authority's host part is not empty.
    std::size_t colon = escaped.find(':');
    if (colon == 0 || colon == std::string::npos) return false;
    unsigned char first = static_cast<unsigned char>(escaped[0]);
    if (!((first >= 'a' && first <= 'z') || (first >= 'A' && first <= 'Z'))) return false;
    for (std::size_t i = 1; i < colon; ++i) {
        unsigned char c = static_cast<unsigned char>(escaped[i]);
        if (!isAsciiAlnum(c) && c != '+' && c != '-' && c != '.') return false;
    }
    if (escaped.compare(colon + 1, 2, "//") != 0) return false;
    std::size_t authorityStart = colon + 3;
    std::size_t authorityEnd = escaped.find_first_of("/?#", authorityStart);
    std::string_view authority = std::string_view(escaped).substr(
        authorityStart, authorityEnd == std::string::npos ? std::string::npos : authorityEnd - authorityStart);
    std::size_t at = authority.rfind('@');
    std::string_view hostPort = at == std::string_view::npos ? authority : authority.substr(at + 1);
    std::string_view host = hostPort.substr(0, hostPort.find(':'));
    return !host.empty();
}

std::string escapeRegEx(std::string_view text) {
    std::string out;
    for (char c : text) {
        if (c == '.' || c == '-') out += '\\';
        out += c;
    }
    return out;
}

bool validRegEx(std::string_view text, std::string_view pattern) {
    auto expression = NSRegularExpression::regularExpressionWithPattern(pattern);
    if (!expression.ok()) return false;
    return (*expression)->firstMatchInString(text).has_value();
}

bool validEmail(std::string_view text) {
    return validRegEx(text, "^[a-zA-Z0-9_.+-]+@[a-zA-Z0-9-]+\\.[a-zA-Z0-9-.]+$");
}

bool validWebsite(std::string_view text) {
    return validRegEx(text, "^(https?)://[a-z]+\\.[a-z]+");
}
