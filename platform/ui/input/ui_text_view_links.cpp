// Text view links: web and mail addresses found in a read-only text, drawn in the tint colour with
// an underline, and the link under a point.
#include <algorithm>
#include <string_view>

#include "platform/runtime/utf16.h"
#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/input/ui_text_view.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/string_drawing.h"

namespace {
bool isBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0x00A0 || c == 0x3000;
}

bool startsWith(std::u16string_view s, std::u16string_view prefix) {
    if (s.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        char16_t c = s[i];
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        if (c != prefix[i]) return false;
    }
    return true;
}

// The address a word stands for, or none: web addresses keep their scheme ("www." gets
// "http://"), a word with one "@" and a dot after it becomes a "mailto:" address.
std::optional<std::string> addressOf(std::u16string_view word) {
    if (startsWith(word, u"http://") || startsWith(word, u"https://")) {
        std::size_t scheme = word[4] == u':' ? 7 : 8;
        if (word.size() > scheme) return fromUtf16(word);
        return std::nullopt;
    }
    if (startsWith(word, u"www.") && word.size() > 4) return "http://" + fromUtf16(word);
    std::size_t at = word.find(u'@');
    if (at == std::u16string_view::npos || at == 0 || word.find(u'@', at + 1) != std::u16string_view::npos)
        return std::nullopt;
    std::size_t dot = word.find(u'.', at);
    if (dot == std::u16string_view::npos || dot == at + 1 || dot + 1 >= word.size()) return std::nullopt;
    return "mailto:" + fromUtf16(word);
}

constexpr std::u16string_view kLeadingMarks = u"(<[\"'";
constexpr std::u16string_view kTrailingMarks = u".,;:!?)>]\"'";
}  // namespace

std::vector<UITextViewLink> UITextView::detectedLinks() const {
    std::vector<UITextViewLink> links;
    if (editable_ || !(detectorTypes_ & UIDataDetectorTypeLink)) return links;
    const std::u16string text = toUtf16(text_);
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && isBlank(text[i])) ++i;
        std::size_t start = i;
        while (i < text.size() && !isBlank(text[i])) ++i;
        std::size_t end = i;
        while (start < end && kLeadingMarks.find(text[start]) != std::u16string_view::npos) ++start;
        while (end > start && kTrailingMarks.find(text[end - 1]) != std::u16string_view::npos) --end;
        if (start >= end) continue;
        if (auto address = addressOf(std::u16string_view(text).substr(start, end - start)))
            links.push_back({NSRange{start, end - start}, *address});
    }
    return links;
}

std::optional<std::string> UITextView::linkAtPoint(CGPoint point) const {
    auto links = detectedLinks();
    if (links.empty()) return std::nullopt;
    // A point past the end of the text, or in the margin beside it, is on no link.
    if (point.y - inset_.top >= textHeight() - inset_.top - inset_.bottom || point.x < inset_.left ||
        point.x > bounds().size.width - inset_.right)
        return std::nullopt;
    const std::size_t offset = closestPositionToPoint(point).offset;
    for (const auto& link : links)
        if (offset >= link.range.location && offset < link.range.location + link.range.length) return link.url;
    return std::nullopt;
}

void UITextView::drawLinkedText(CGRect content, const std::shared_ptr<UIColor>& color,
                                const std::vector<UITextViewLink>& links) {
    auto attributes = labelAttributes(font_, color);
    auto style = NSParagraphStyle::make();
    style->alignment = alignment_ == NSTextAlignment::Natural ? NSTextAlignment::Left : alignment_;
    attributes.set(NSParagraphStyleAttributeName, Value(style));
    auto text = NSMutableAttributedString::make(text_, attributes);
    auto tint = tintColor();
    for (const auto& link : links) {
        text->addAttribute(NSForegroundColorAttributeName, Value(tint), link.range);
        text->addAttribute(NSUnderlineStyleAttributeName, Value(std::int64_t{1}), link.range);
    }
    drawInRect(*text, content);
}
