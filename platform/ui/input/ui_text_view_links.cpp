// Text view links: web and mail addresses found in a read-only text, drawn in the tint colour with
// an underline, and the link under a point.
#include <algorithm>
#include <string_view>

#include "platform/runtime/utf16.h"
#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/input/ui_text_view.h"
#include "platform/ui/text/attributed_string.h"
#include "platform/ui/text/string_drawing.h"
#include "platform/ui/text/text_layout.h"

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
    // Hit only over a link's own glyphs, laid out as drawLinkedText draws them: the nearest
    // character would also claim the blank beside the end of a link's line.
    TextLayoutOptions options;
    options.width = std::max<CGFloat>(1, bounds().size.width - inset_.left - inset_.right);
    TextLayout layout(*linkedText(nullptr, links), options);
    const CGPoint p{point.x - inset_.left, point.y - inset_.top};
    const auto& lines = layout.lines();
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const TextLine& line = lines[i];
        if (p.y < CGRectGetMinY(line.rect) || p.y >= CGRectGetMaxY(line.rect)) continue;
        for (const auto& link : links) {
            const NSRange piece = NSIntersectionRange(link.range, line.range);
            if (piece.length == 0) continue;
            const CGFloat a = layout.offsetForCharacterIndex(i, piece.location);
            const CGFloat b = layout.offsetForCharacterIndex(i, NSMaxRange(piece));
            const CGFloat left = line.rect.origin.x + std::min(a, b);
            if (p.x >= left && p.x < left + std::abs(b - a)) return link.url;
        }
        return std::nullopt;
    }
    return std::nullopt;
}

std::shared_ptr<NSMutableAttributedString> UITextView::linkedText(const std::shared_ptr<UIColor>& color,
                                                                  const std::vector<UITextViewLink>& links) const {
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
    return text;
}

void UITextView::drawLinkedText(CGRect content, const std::shared_ptr<UIColor>& color,
                                const std::vector<UITextViewLink>& links) {
    drawInRect(*linkedText(color, links), content);
}
