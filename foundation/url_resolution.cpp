// Resolution of a relative reference against a base address (the URL rules of RFC 3986, 5.2).
#include <optional>
#include <string>

#include "foundation/string_custom_escaping.h"

namespace {

struct UrlParts {
    std::optional<std::string> scheme, authority, query, fragment;
    std::string path;
};

bool isSchemeChar(char c, bool first) {
    bool alpha = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    return alpha || (!first && ((c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.'));
}

// None for text no URL can be made of: blanks, controls and non-ASCII must arrive escaped.
std::optional<UrlParts> parse(std::string_view text) {
    for (unsigned char c : text) {
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`' ||
            c == '{' || c == '|' || c == '}')
            return std::nullopt;
    }
    UrlParts parts;
    std::size_t colon = text.find(':');
    std::size_t firstDelimiter = text.find_first_of("/?#");
    if (colon != std::string_view::npos && colon > 0 &&
        (firstDelimiter == std::string_view::npos || colon < firstDelimiter)) {
        bool valid = true;
        for (std::size_t i = 0; i < colon; ++i) valid = valid && isSchemeChar(text[i], i == 0);
        if (valid) {
            parts.scheme = std::string(text.substr(0, colon));
            text.remove_prefix(colon + 1);
        }
    }
    if (std::size_t hash = text.find('#'); hash != std::string_view::npos) {
        parts.fragment = std::string(text.substr(hash + 1));
        text = text.substr(0, hash);
    }
    if (std::size_t question = text.find('?'); question != std::string_view::npos) {
        parts.query = std::string(text.substr(question + 1));
        text = text.substr(0, question);
    }
    if (text.substr(0, 2) == "//") {
        std::size_t end = text.find('/', 2);
        parts.authority = std::string(text.substr(2, end == std::string_view::npos ? std::string_view::npos : end - 2));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end);
    }
    parts.path = std::string(text);
    return parts;
}

std::string removeDotSegments(std::string input) {
    std::string output;
    while (!input.empty()) {
        if (input.rfind("../", 0) == 0) {
            input.erase(0, 3);
        } else if (input.rfind("./", 0) == 0) {
            input.erase(0, 2);
        } else if (input.rfind("/./", 0) == 0) {
            input.replace(0, 3, "/");
        } else if (input == "/.") {
            input = "/";
        } else if (input.rfind("/../", 0) == 0 || input == "/..") {
            input = input == "/.." ? "/" : input.substr(3);
            std::size_t slash = output.rfind('/');
            output.erase(slash == std::string::npos ? 0 : slash);
        } else if (input == "." || input == "..") {
            input.clear();
        } else {
            std::size_t next = input.find('/', input[0] == '/' ? 1 : 0);
            output += input.substr(0, next);
            input.erase(0, next);
        }
    }
    return output;
}

std::string merge(const UrlParts& base, const std::string& path) {
    if (base.authority && base.path.empty()) return "/" + path;
    std::size_t slash = base.path.rfind('/');
    return slash == std::string::npos ? path : base.path.substr(0, slash + 1) + path;
}

std::string compose(const UrlParts& parts) {
    std::string out;
    if (parts.scheme) out += *parts.scheme + ":";
    if (parts.authority) out += "//" + *parts.authority;
    out += parts.path;
    if (parts.query) out += "?" + *parts.query;
    if (parts.fragment) out += "#" + *parts.fragment;
    return out;
}

}  // namespace

std::optional<std::string> appendRelativedUrl(std::string_view baseText, std::string_view relativeText) {
    std::optional<UrlParts> base = parse(baseText);
    std::optional<UrlParts> reference = parse(relativeText);
    if (!base || !reference || !base->scheme) return std::nullopt;
    UrlParts target;
    if (reference->scheme) {
        target = *reference;
        target.path = removeDotSegments(reference->path);
    } else {
        target.scheme = base->scheme;
        if (reference->authority) {
            target.authority = reference->authority;
            target.path = removeDotSegments(reference->path);
            target.query = reference->query;
        } else {
            target.authority = base->authority;
            if (reference->path.empty()) {
                target.path = base->path;
                target.query = reference->query ? reference->query : base->query;
            } else {
                target.path =
                    removeDotSegments(reference->path[0] == '/' ? reference->path : merge(*base, reference->path));
                target.query = reference->query;
            }
        }
        target.fragment = reference->fragment;
    }
    return compose(target);
}
