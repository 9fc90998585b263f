// What the web view stand-in shows of a page: its title, its text with tags removed and
// entities decoded, and the targets of its links (resolved against the page's address).
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/range.h"

// Where a link's words stand in the page text (UTF-16 units) and which of the links it is.
struct HTMLLinkSpan {
    NSRange range;
    std::size_t link = 0;
    bool operator==(const HTMLLinkSpan&) const = default;
};

struct HTMLPage {
    std::string title;
    std::string text;
    std::vector<std::string> links;
    std::vector<HTMLLinkSpan> spans;
    // Where the headings' words stand (UTF-16 units).
    std::vector<NSRange> headings;
};

HTMLPage parseHTMLPage(const std::string& html, const std::string& baseURL);
// A link target made absolute against the page's address (empty when it cannot be).
std::string resolveURL(const std::string& href, const std::string& base);
// The charset a page names in a <meta> element near its start (lower case); none when it names none.
std::optional<std::string> metaCharset(std::string_view html);
