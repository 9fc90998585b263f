// NSURL parsing: scheme, authority, path, query and fragment of RFC 3986 text.
#include "platform/net/url.h"

#include <cctype>
#include <filesystem>
#include <vector>

namespace {

bool isHex(char c) {
    return std::isxdigit(static_cast<unsigned char>(c)) != 0;
}

// Characters a URL may carry as they are (unreserved, reserved, "%" for escapes).
bool isUrlCharacter(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u <= 0x20 || u >= 0x7f) return false;
    switch (c) {
        case '"':
        case '<':
        case '>':
        case '\\':
        case '^':
        case '`':
        case '{':
        case '|':
        case '}': return false;
        default: return true;
    }
}

bool validEscapes(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!isUrlCharacter(text[i])) return false;
        if (text[i] == '%') {
            if (i + 2 >= text.size() || !isHex(text[i + 1]) || !isHex(text[i + 2])) return false;
        }
    }
    return true;
}

std::string percentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && isHex(text[i + 1]) && isHex(text[i + 2])) {
            out += static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string percentEncodePath(std::string_view path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (char c : path) {
        unsigned char u = static_cast<unsigned char>(c);
        if (std::isalnum(u) || std::string_view("/-._~!$&'()*+,;=:@").find(c) != std::string_view::npos) {
            out += c;
        } else {
            out += '%';
            out += hex[u >> 4];
            out += hex[u & 15];
        }
    }
    return out;
}

}  // namespace

std::shared_ptr<NSURL> NSURL::URLWithString(std::string_view text) {
    if (text.empty() || !validEscapes(text)) return nullptr;
    std::size_t colon = text.find(':');
    if (colon == std::string_view::npos || colon == 0 || !std::isalpha(static_cast<unsigned char>(text[0])))
        return nullptr;
    for (std::size_t i = 1; i < colon; ++i) {
        char c = text[i];
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '+' && c != '-' && c != '.') return nullptr;
    }
    auto url = make<NSURL>();
    url->absolute_ = std::string(text);
    for (char c : text.substr(0, colon)) url->scheme_ += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string_view rest = text.substr(colon + 1);
    if (std::size_t hash = rest.find('#'); hash != std::string_view::npos) rest = rest.substr(0, hash);
    if (std::size_t q = rest.find('?'); q != std::string_view::npos) {
        url->query_ = std::string(rest.substr(q + 1));
        rest = rest.substr(0, q);
    }
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        std::size_t slash = rest.find('/');
        std::string_view authority = rest.substr(0, slash);
        rest = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
        if (std::size_t at = authority.rfind('@'); at != std::string_view::npos) authority.remove_prefix(at + 1);
        std::string_view hostPart = authority;
        std::string_view portPart;
        if (!authority.empty() && authority.front() == '[') {
            std::size_t close = authority.find(']');
            if (close == std::string_view::npos) return nullptr;
            hostPart = authority.substr(0, close + 1);
            std::string_view after = authority.substr(close + 1);
            if (!after.empty()) {
                if (after.front() != ':') return nullptr;
                portPart = after.substr(1);
            }
        } else if (std::size_t c = authority.rfind(':'); c != std::string_view::npos) {
            hostPart = authority.substr(0, c);
            portPart = authority.substr(c + 1);
        }
        if (!portPart.empty()) {
            if (portPart.size() > 5) return nullptr;
            for (char c : portPart) {
                if (!std::isdigit(static_cast<unsigned char>(c))) return nullptr;
            }
            int port = std::stoi(std::string(portPart));
            if (port > 65535) return nullptr;
            url->port_ = port;
        }
        if (url->scheme_ != "file" && hostPart.empty()) return nullptr;
        for (char c : hostPart) url->host_ += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        url->host_ = percentDecode(url->host_);
        url->path_ = rest.empty() && url->scheme_ != "file" ? "/" : percentDecode(rest);
    } else {
        url->path_ = percentDecode(rest);
    }
    return url;
}

std::shared_ptr<NSURL> NSURL::fileURLWithPath(std::string_view path) {
    std::string absolute(path);
    if (absolute.empty() || absolute.front() != '/') {
        std::error_code ec;
        absolute = (std::filesystem::current_path(ec) / std::string(path)).string();
    }
    return URLWithString("file://" + percentEncodePath(absolute));
}

std::string NSURL::standardizedPath() const {
    return standardizePath(path_);
}

bool NSURL::isEqual(const NSObject& other) const {
    auto* url = dynamic_cast<const NSURL*>(&other);
    return url && url->absolute_ == absolute_;
}

std::string standardizePath(std::string_view path) {
    bool absolute = !path.empty() && path.front() == '/';
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos) end = path.size();
        std::string_view part = path.substr(start, end - start);
        if (part.empty() || part == ".") {
        } else if (part == "..") {
            if (!parts.empty() && parts.back() != "..") {
                parts.pop_back();
            } else if (!absolute) {
                parts.push_back(part);
            }
        } else {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string out = absolute ? "/" : "";
    for (std::size_t i = 0; i < parts.size(); ++i) {
        if (i) out += '/';
        out += parts[i];
    }
    return out;
}
