// FetcherBase: the toolkit of a page scraper: query URLs with three escaping modes, and values
// pulled out of page text by regular expressions or, failing those, out of JSON by key path.
//
// A pattern set is an array of pattern strings, or a dictionary whose entries other than "j"
// name patterns (walked in the dictionary's order) and whose "j" lists JSON key paths. Patterns
// are compiled case-insensitive; one that does not compile finds nothing. Stateless.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/object.h"
#include "platform/runtime/value.h"

class FetcherBase : public NSObject {
public:
    KORVA_MAKE(FetcherBase)

    // One match: the whole match, then each capture group ("" for a group that took no part).
    using Match = std::vector<std::string>;
    // Turns a key path of "j" into the path given to at(); the default keeps it.
    using KeyPathBlock = std::function<std::string(const std::string&)>;

    // Every UTF-8 byte percent-encoded ("%XX", upper case) except ASCII letters, digits and "-._~".
    static std::string urlencode(std::string_view text);
    // Appends "?" or "&" and name=value. A string value counts only when not empty, a number
    // always, anything else not at all. Mode 0 keeps a string, 1 urlencodes it, 2 escapes it as
    // a URL; any other mode appends only the separator.
    static void append(std::string& url, std::string_view name, const Value& value, int enc);

    // All matches of all patterns, in pattern order; empty for a set of another kind.
    std::vector<Match> matchAllList(std::string_view text, const Value& a) const;
    // The matches of the pattern with the most (the earliest on ties); none when nothing matches.
    std::optional<std::vector<Match>> matchList(std::string_view text, const Value& a) const;
    // Capture group 1 of the best pattern's first match; else the first key path of "j" that
    // finds a value in the JSON; else null.
    Value match1(const std::optional<std::string>& text, const Value& a, const Value& json,
                 const KeyPathBlock& ppKey = {}) const;
    // The first non-null match1 over the JSON objects in order; null for an empty list.
    Value match1Jsons(const std::optional<std::string>& text, const Value& a, const Value& jsons,
                      const KeyPathBlock& ppKey = {}) const;
    // match1 as text: a string as it is, another value as its description; none for null.
    std::optional<std::string> match1String(const std::optional<std::string>& text, const Value& a,
                                            const Value& json) const;
    std::optional<std::string> match1StringJsons(const std::optional<std::string>& text, const Value& a,
                                                 const Value& jsons) const;

    std::string className() const override { return "FetcherBase"; }

protected:
    FetcherBase() = default;

private:
    // The pattern strings of a set, in order.
    static std::vector<std::string> patternsOf(const Value& a);
    static std::vector<Match> matchesOf(std::string_view text, const std::string& pattern);
};
