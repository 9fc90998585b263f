// A forgiving reading of HTML: enough to show a page's words and follow its links.
#include "platform/ui/controller/html_text.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>

#include "platform/runtime/utf16.h"

namespace {

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

std::string decodeEntities(const std::string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] != '&') {
            out += s[i];
            continue;
        }
        auto end = s.find(';', i);
        if (end == std::string::npos || end - i > 10) {
            out += '&';
            continue;
        }
        std::string name = s.substr(i + 1, end - i - 1);
        std::string rep;
        if (name == "amp")
            rep = "&";
        else if (name == "lt")
            rep = "<";
        else if (name == "gt")
            rep = ">";
        else if (name == "quot")
            rep = "\"";
        else if (name == "apos" || name == "#39")
            rep = "'";
        else if (name == "nbsp")
            rep = " ";
        else if (!name.empty() && name[0] == '#') {
            long code = name.size() > 1 && (name[1] == 'x' || name[1] == 'X')
                            ? std::strtol(name.c_str() + 2, nullptr, 16)
                            : std::strtol(name.c_str() + 1, nullptr, 10);
            if (code > 0 && code < 0x110000 && !(code >= 0xD800 && code <= 0xDFFF))
                rep = utf8FromCodePoint(static_cast<char32_t>(code));
        }
        if (rep.empty()) {
            out += '&';
            continue;
        }
        out += rep;
        i = end;
    }
    return out;
}

std::string collapse(const std::string& s) {
    std::string out;
    bool space = false;
    for (char c : s) {
        if (c == '\n') {
            while (!out.empty() && out.back() == ' ') out.pop_back();
            if (!out.empty() && (out.size() < 2 || out.substr(out.size() - 2) != "\n\n")) out += '\n';
            space = false;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            space = true;
        } else {
            if (space && !out.empty() && out.back() != '\n') out += ' ';
            space = false;
            out += c;
        }
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == ' ')) out.pop_back();
    return out;
}

// Marks around a link's and a heading's words while the text is assembled; taken out again once
// the text is final.
constexpr char kLinkOpen = '\x01';
constexpr char kLinkClose = '\x02';
constexpr char kHeadingOpen = '\x03';
constexpr char kHeadingClose = '\x04';

bool isMark(char c) {
    return c >= kLinkOpen && c <= kHeadingClose;
}

std::string withoutMarks(std::string s) {
    std::erase_if(s, isMark);
    return s;
}

// Removes the marks and records the ranges between them; empty words give no range.
void takeSpans(HTMLPage& page, const std::vector<std::size_t>& linkOfMark) {
    std::string& text = page.text;
    std::string out;
    std::size_t units = 0, mark = 0, start = 0, headingStart = 0;
    bool open = false, heading = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c == kLinkOpen) {
            open = true;
            start = units;
            continue;
        }
        if (c == kLinkClose) {
            if (open && units > start && mark < linkOfMark.size())
                page.spans.push_back({{start, units - start}, linkOfMark[mark]});
            open = false;
            ++mark;
            continue;
        }
        if (c == kHeadingOpen) {
            heading = true;
            headingStart = units;
            continue;
        }
        if (c == kHeadingClose) {
            if (heading && units > headingStart) page.headings.push_back({headingStart, units - headingStart});
            heading = false;
            continue;
        }
        out += c;
        // Count UTF-16 units: a lead byte starts a character; four-byte ones take two units.
        auto b = static_cast<unsigned char>(c);
        if ((b & 0xC0) != 0x80) units += b >= 0xF0 ? 2 : 1;
    }
    // Marks of empty links may have kept blanks at either end from being collapsed away.
    std::size_t lead = out.find_first_not_of(" \n");
    if (lead == std::string::npos) lead = out.size();
    out.erase(0, lead);
    while (!out.empty() && (out.back() == ' ' || out.back() == '\n')) out.pop_back();
    const std::size_t length = utf16Length(out);
    auto shift = [&](NSRange& r) {
        std::size_t start = r.location > lead ? r.location - lead : 0;
        std::size_t end = std::min(NSMaxRange(r) > lead ? NSMaxRange(r) - lead : 0, length);
        r = {start, end > start ? end - start : 0};
    };
    for (auto& span : page.spans) shift(span.range);
    for (auto& heading : page.headings) shift(heading);
    std::erase_if(page.spans, [](const HTMLLinkSpan& span) { return span.range.length == 0; });
    std::erase_if(page.headings, [](const NSRange& r) { return r.length == 0; });
    text = std::move(out);
}

bool isHeading(const std::string& name) {
    return name.size() == 2 && name[0] == 'h' && name[1] >= '1' && name[1] <= '6';
}

std::string attribute(const std::string& tag, const std::string& name) {
    std::string l = lower(tag);
    auto pos = l.find(name + "=");
    if (pos == std::string::npos) return {};
    pos += name.size() + 1;
    if (pos >= tag.size()) return {};
    char q = tag[pos];
    if (q == '"' || q == '\'') {
        auto end = tag.find(q, pos + 1);
        return end == std::string::npos ? std::string() : tag.substr(pos + 1, end - pos - 1);
    }
    auto end = tag.find_first_of(" \t\n>", pos);
    return tag.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
}

}  // namespace

std::string resolveURL(const std::string& href, const std::string& base) {
    if (href.empty() || href[0] == '#') return {};
    if (href.find("://") != std::string::npos || href.rfind("mailto:", 0) == 0) return href;
    auto scheme = base.find("://");
    if (scheme == std::string::npos) return {};
    auto pathStart = base.find('/', scheme + 3);
    std::string origin = pathStart == std::string::npos ? base : base.substr(0, pathStart);
    if (href.rfind("//", 0) == 0) return base.substr(0, scheme + 1) + href;
    if (href[0] == '/') return origin + href;
    std::string dir = pathStart == std::string::npos ? origin + "/" : base.substr(0, base.find_last_of('/') + 1);
    auto cut = dir.find_first_of("?#");
    if (cut != std::string::npos) dir = dir.substr(0, dir.find_last_of('/', cut) + 1);
    return dir + href;
}

HTMLPage parseHTMLPage(const std::string& html, const std::string& baseURL) {
    HTMLPage page;
    std::string text;
    std::string skipUntil;  // inside <script> or <style>
    bool inTitle = false;
    bool inLink = false;
    bool inHeading = false;
    std::vector<std::size_t> linkOfMark;  // the link each open mark belongs to
    auto closeLink = [&] {
        if (!inLink) return;
        text += kLinkClose;
        inLink = false;
    };
    for (std::size_t i = 0; i < html.size();) {
        if (html[i] != '<') {
            auto next = html.find('<', i);
            std::string chunk = html.substr(i, next == std::string::npos ? std::string::npos : next - i);
            if (skipUntil.empty()) (inTitle ? page.title : text) += withoutMarks(chunk);
            i = next == std::string::npos ? html.size() : next;
            continue;
        }
        if (html.compare(i, 4, "<!--") == 0) {
            auto end = html.find("-->", i + 4);
            i = end == std::string::npos ? html.size() : end + 3;
            continue;
        }
        auto end = html.find('>', i);
        if (end == std::string::npos) break;
        std::string tag = html.substr(i + 1, end - i - 1);
        i = end + 1;
        std::string name = lower(tag.substr(0, tag.find_first_of(" \t\n/", tag[0] == '/' ? 1 : 0)));
        if (!skipUntil.empty()) {
            if (name == skipUntil) skipUntil.clear();
            continue;
        }
        if (name == "script" || name == "style") {
            skipUntil = "/" + name;
            continue;
        }
        if (name == "title")
            inTitle = true;
        else if (name == "/title")
            inTitle = false;
        else if (name == "a") {
            closeLink();
            std::string target = resolveURL(decodeEntities(attribute(tag, "href")), baseURL);
            if (!target.empty()) {
                page.links.push_back(target);
                linkOfMark.push_back(page.links.size() - 1);
                text += kLinkOpen;
                inLink = true;
                continue;
            }
        } else if (name == "/a" && inLink) {
            closeLink();
            continue;
        }
        if (isHeading(name) && !inHeading) {
            text += '\n';
            text += kHeadingOpen;
            inHeading = true;
            continue;
        }
        if (name.size() == 3 && name[0] == '/' && isHeading(name.substr(1)) && inHeading) {
            text += kHeadingClose;
            text += '\n';
            inHeading = false;
            continue;
        }
        static const char* blocks[] = {"br", "p",   "/p",  "div", "/div", "li",  "tr",  "h1", "h2",  "h3",  "h4", "h5",
                                       "h6", "/h1", "/h2", "/h3", "/h4",  "/h5", "/h6", "hr", "/li", "/tr", "br/"};
        if (std::find(std::begin(blocks), std::end(blocks), name) != std::end(blocks))
            text += '\n';
        else
            text += ' ';
    }
    closeLink();
    if (inHeading) text += kHeadingClose;
    page.title = collapse(decodeEntities(page.title));
    page.text = collapse(decodeEntities(text));
    takeSpans(page, linkOfMark);
    return page;
}

std::optional<std::string> metaCharset(std::string_view html) {
    std::string head = lower(std::string(html.substr(0, 2048)));
    for (auto pos = head.find("<meta"); pos != std::string::npos; pos = head.find("<meta", pos + 5)) {
        auto end = head.find('>', pos);
        if (end == std::string::npos) break;
        std::string tag = head.substr(pos + 1, end - pos - 1);
        std::string charset = attribute(tag, "charset");
        if (charset.empty()) {
            std::string content = attribute(tag, "content");
            auto at = content.find("charset=");
            if (at != std::string::npos) charset = content.substr(at + 8, content.find_first_of("; ", at + 8) - at - 8);
        }
        if (!charset.empty()) return charset;
    }
    return std::nullopt;
}
