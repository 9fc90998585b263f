// What the web view stand-in shows of a page: its title, its text with tags removed and
// entities decoded, and the targets of its links (resolved against the page's address).
#pragma once

#include <string>
#include <vector>

struct HTMLPage {
    std::string title;
    std::string text;
    std::vector<std::string> links;
};

HTMLPage parseHTMLPage(const std::string& html, const std::string& baseURL);
// A link target made absolute against the page's address (empty when it cannot be).
std::string resolveURL(const std::string& href, const std::string& base);
