// Query building and pattern or key-path extraction for page scrapers.
#include "language/fetcher_base.h"

#include "foundation/dictionary_custom.h"
#include "foundation/string_custom_escaping.h"
#include "platform/runtime/utf16.h"
#include "platform/text/regular_expression.h"

std::string FetcherBase::urlencode(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        bool plain = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
                     c == '.' || c == '_' || c == '~';
        if (plain) {
            out += static_cast<char>(c);
        } else {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        }
    }
    return out;
}

void FetcherBase::append(std::string& url, std::string_view name, const Value& value, int enc) {
    bool usable = (value.isString() && !value.string()->empty()) || value.isNumber();
    if (!usable) return;
    url += url.find('?') == std::string::npos ? "?" : "&";
    if (value.isNumber()) {
        url += std::string(name) + "=" + value.description();
        return;
    }
    const std::string& text = *value.string();
    switch (enc) {
        case 0: url += std::string(name) + "=" + text; break;
        case 1: url += std::string(name) + "=" + urlencode(text); break;
        case 2: url += std::string(name) + "=" + escapeURL(text); break;
        default: break;
    }
}

std::vector<std::string> FetcherBase::patternsOf(const Value& a) {
    std::vector<std::string> patterns;
    if (a.isArray()) {
        for (const Value& item : *a.arrayPtr()) {
            if (item.isString()) patterns.push_back(*item.string());
        }
    } else if (a.isDictionary()) {
        for (const auto& [name, item] : *a.dictionaryPtr()) {
            if (name != "j" && item.isString()) patterns.push_back(*item.string());
        }
    }
    return patterns;
}

std::vector<FetcherBase::Match> FetcherBase::matchesOf(std::string_view text, const std::string& pattern) {
    auto expression = NSRegularExpression::regularExpressionWithPattern(pattern, NSRegularExpressionCaseInsensitive);
    if (!expression) return {};
    std::vector<Match> matches;
    for (const NSTextCheckingResult& result : (*expression)->matchesInString(text)) {
        Match match;
        for (std::size_t i = 0; i < result.numberOfRanges(); ++i) {
            NSRange range = result.rangeAtIndex(i);
            match.push_back(range.location == NSNotFound ? std::string() : utf16Substring(text, range));
        }
        matches.push_back(std::move(match));
    }
    return matches;
}

std::vector<FetcherBase::Match> FetcherBase::matchAllList(std::string_view text, const Value& a) const {
    std::vector<Match> all;
    for (const std::string& pattern : patternsOf(a)) {
        std::vector<Match> matches = matchesOf(text, pattern);
        all.insert(all.end(), matches.begin(), matches.end());
    }
    return all;
}

std::optional<std::vector<FetcherBase::Match>> FetcherBase::matchList(std::string_view text, const Value& a) const {
    std::optional<std::vector<Match>> best;
    for (const std::string& pattern : patternsOf(a)) {
        std::vector<Match> matches = matchesOf(text, pattern);
        if (!matches.empty() && (!best || matches.size() > best->size())) best = std::move(matches);
    }
    return best;
}

Value FetcherBase::match1(const std::optional<std::string>& text, const Value& a, const Value& json,
                          const KeyPathBlock& ppKey) const {
    if (text) {
        if (auto matches = matchList(*text, a)) {
            const Match& first = matches->front();
            return first.size() > 1 ? Value(first[1]) : Value();
        }
    }
    if (json.isNull() || !a.isDictionary()) return Value();
    const Value& paths = a["j"];
    if (!paths.isArray()) return Value();
    for (const Value& path : *paths.arrayPtr()) {
        if (!path.isString()) continue;
        Value found = at(json, ppKey ? ppKey(*path.string()) : *path.string());
        if (!found.isNull()) return found;
    }
    return Value();
}

Value FetcherBase::match1Jsons(const std::optional<std::string>& text, const Value& a, const Value& jsons,
                               const KeyPathBlock& ppKey) const {
    if (!jsons.isArray()) return Value();
    for (const Value& json : *jsons.arrayPtr()) {
        Value found = match1(text, a, json, ppKey);
        if (!found.isNull()) return found;
    }
    return Value();
}

std::optional<std::string> FetcherBase::match1String(const std::optional<std::string>& text, const Value& a,
                                                     const Value& json) const {
    Value found = match1(text, a, json);
    if (found.isNull()) return std::nullopt;
    return found.isString() ? *found.string() : found.description();
}

std::optional<std::string> FetcherBase::match1StringJsons(const std::optional<std::string>& text, const Value& a,
                                                          const Value& jsons) const {
    if (!jsons.isArray()) return std::nullopt;
    for (const Value& json : *jsons.arrayPtr()) {
        if (auto found = match1String(text, a, json)) return found;
    }
    return std::nullopt;
}
