// TextLayout, one line at a time: runs, character offsets, flush, drawing, truncation with a
// token, and the sizes and rectangles asked of a text before it is drawn.
#include <algorithm>
#include <cmath>

#include "platform/ui/draw/context.h"
#include "platform/ui/text/text_layout_impl.h"

using namespace text_layout_detail;

namespace {

PangoLayoutLine* pangoLine(PangoLayout* layout, std::size_t line) {
    if (!layout || line > static_cast<std::size_t>(std::numeric_limits<int>::max())) return nullptr;
    return pango_layout_get_line_readonly(layout, static_cast<int>(line));
}

// x of a byte index's leading edge, or of the trailing edge of the character before it.
double xOfByte(PangoLayoutLine* line, const std::string& utf8, std::size_t byte) {
    int x = 0;
    auto start = static_cast<std::size_t>(line->start_index);
    if (byte > start) {
        std::size_t previous = byte - 1;
        while (previous > start && (static_cast<unsigned char>(utf8[previous]) & 0xC0) == 0x80) --previous;
        pango_layout_line_index_to_x(line, static_cast<int>(previous), TRUE, &x);
    } else {
        pango_layout_line_index_to_x(line, static_cast<int>(byte), FALSE, &x);
    }
    return x / kUnit;
}

// UTF-16 indices at which the text may be cut: code point starts, and the end.
std::vector<std::size_t> cutPoints(const std::string& utf8) {
    std::u16string units = toUtf16(utf8);
    std::vector<std::size_t> points;
    for (std::size_t i = 0; i < units.size(); ++i)
        if (units[i] < 0xDC00 || units[i] > 0xDFFF) points.push_back(i);
    points.push_back(units.size());
    return points;
}

// The text with `keep` of its units kept around the token.
std::shared_ptr<NSMutableAttributedString> composeTruncated(const NSAttributedString& text, std::size_t keep,
                                                            TextTruncation truncation, const NSAttributedString& token,
                                                            const std::vector<std::size_t>& points) {
    auto snap = [&](std::size_t units) {  // the largest cut point at or below `units`
        auto it = std::upper_bound(points.begin(), points.end(), units);
        return it == points.begin() ? 0 : *(it - 1);
    };
    std::size_t length = text.length();
    auto out = NSMutableAttributedString::make();
    auto head = [&](std::size_t n) { out->appendAttributedString(*text.attributedSubstringFromRange({0, snap(n)})); };
    auto tail = [&](std::size_t n) {
        std::size_t from = length - n;
        auto it = std::lower_bound(points.begin(), points.end(), from);
        from = it == points.end() ? length : *it;
        out->appendAttributedString(*text.attributedSubstringFromRange({from, length - from}));
    };
    switch (truncation) {
        case TextTruncation::End:
            head(keep);
            out->appendAttributedString(token);
            break;
        case TextTruncation::Start:
            out->appendAttributedString(token);
            tail(keep);
            break;
        case TextTruncation::Middle:
            head(keep - keep / 2);
            out->appendAttributedString(token);
            tail(keep / 2);
            break;
    }
    return out;
}

CGFloat oneLineWidth(const NSAttributedString& text) {
    return TextLayout(text, TextLayoutOptions{}).size().width;
}

}  // namespace

std::vector<TextRun> TextLayout::runsOfLine(std::size_t line) const {
    const Impl& d = *impl_;
    std::vector<TextRun> runs;
    if (line >= d.lines.size()) return runs;
    std::lock_guard lock(textEngineMutex());
    PangoLayoutLine* pl = pangoLine(d.layout, line);
    if (!pl) return runs;
    for (GSList* r = pl->runs; r; r = r->next) {
        auto* glyphs = static_cast<PangoGlyphItem*>(r->data);
        std::size_t startUnit = utf16OffsetFromByteOffset(d.utf8, static_cast<std::size_t>(glyphs->item->offset));
        std::size_t endUnit =
            utf16OffsetFromByteOffset(d.utf8, static_cast<std::size_t>(glyphs->item->offset + glyphs->item->length));
        bool rtl = (glyphs->item->analysis.level % 2) != 0;
        // Pango splits runs only where its own attributes change; the caller's keys split them too.
        for (const auto& source : d.attributeRuns) {
            NSRange piece = NSIntersectionRange(source.range, {startUnit, endUnit - startUnit});
            if (piece.length == 0) continue;
            double a = xOfByte(pl, d.utf8, d.byteAt(piece.location));
            double b = xOfByte(pl, d.utf8, d.byteAt(NSMaxRange(piece)));
            auto font = source.attributes.get(NSFontAttributeName).objectAs<UIFont>();
            if (!font) font = defaultFont();
            CGFloat rise = scriptRise(source.attributes, *font);
            runs.push_back({piece, source.attributes, std::min(a, b), std::abs(b - a), font->ascender() + rise,
                            -font->descender() - rise, rtl});
        }
    }
    return runs;
}

CGFloat TextLayout::offsetForCharacterIndex(std::size_t line, std::size_t index) const {
    const Impl& d = *impl_;
    if (line >= d.lines.size()) return 0;
    const TextLine& l = d.lines[line];
    index = std::clamp(index, l.range.location, NSMaxRange(l.range));
    std::lock_guard lock(textEngineMutex());
    PangoLayoutLine* pl = pangoLine(d.layout, line);
    return pl ? xOfByte(pl, d.utf8, d.byteAt(index)) : 0;
}

std::optional<std::size_t> TextLayout::characterIndexForOffset(std::size_t line, CGFloat x) const {
    const Impl& d = *impl_;
    if (line >= d.lines.size()) return std::nullopt;
    std::lock_guard lock(textEngineMutex());
    PangoLayoutLine* pl = pangoLine(d.layout, line);
    if (!pl) return std::nullopt;
    int index = 0, trailing = 0;
    pango_layout_line_x_to_index(pl, pangoUnits(x), &index, &trailing);
    return std::min(utf16OffsetFromByteOffset(d.utf8, static_cast<std::size_t>(index)),
                    NSMaxRange(d.lines[line].range));
}

CGFloat TextLayout::penOffsetForFlush(std::size_t line, CGFloat flush, CGFloat width) const {
    const Impl& d = *impl_;
    if (line >= d.lines.size()) return 0;
    const CGRect& r = d.lines[line].rect;
    CGFloat room = width - r.origin.x - r.size.width;
    if (!std::isfinite(room) || room < 0) room = 0;
    return r.origin.x + room * std::clamp<CGFloat>(flush, 0, 1);
}

void TextLayout::drawLine(CGContext& context, std::size_t line, CGPoint position) const {
    const Impl& d = *impl_;
    if (line >= d.visible) return;
    context.drawWithState([&](cairo_t* cr) {
        std::lock_guard lock(textEngineMutex());
        PangoLayoutLine* pl = pangoLine(d.layout, line);
        if (!pl) return;
        cairo_save(cr);
        cairo_new_path(cr);
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        pango_cairo_update_layout(cr, d.layout);
        d.showLine(cr, pl, position.x, position.y);
        cairo_restore(cr);
    });
}

std::optional<TextLayout> TextLayout::truncatedLine(const NSAttributedString& text, CGFloat width,
                                                    TextTruncation truncation, const NSAttributedString& token) {
    if (!(width > 0)) return std::nullopt;
    if (oneLineWidth(text) <= width) return TextLayout(text, TextLayoutOptions{});
    if (oneLineWidth(token) > width) return std::nullopt;
    // The most units kept that still fit; the width grows with what is kept.
    std::vector<std::size_t> points = cutPoints(text.string());
    std::size_t low = 0, high = points.size() - 1;  // indices into points; points[low] always fits
    while (low < high) {
        std::size_t mid = (low + high + 1) / 2;
        if (oneLineWidth(*composeTruncated(text, points[mid], truncation, token, points)) <= width)
            low = mid;
        else
            high = mid - 1;
    }
    return TextLayout(*composeTruncated(text, points[low], truncation, token, points), TextLayoutOptions{});
}

CGSize TextLayout::suggestedSize(const NSAttributedString& text, NSRange range, CGSize constraint,
                                 int maximumNumberOfLines) {
    range = NSIntersectionRange(range, {0, text.length()});
    if (range.length == 0 || !(constraint.width > 0) || !(constraint.height > 0)) return CGSizeZero;
    TextLayoutOptions options;
    options.width = constraint.width;
    options.height = constraint.height;
    options.maximumNumberOfLines = std::max(0, maximumNumberOfLines);
    options.lineBreakMode = NSLineBreakMode::ByWordWrapping;
    CGSize size = TextLayout(*text.attributedSubstringFromRange(range), options).size();
    return {std::ceil(size.width - 1e-9), std::ceil(size.height - 1e-9)};
}

CGRect TextLayout::boundingRectForCharacterRange(const NSAttributedString& text, NSRange range, CGSize container) {
    if (!(container.width > 0) || !(container.height > 0)) return CGRectZero;
    TextLayoutOptions options;
    options.width = container.width;
    options.height = container.height;
    TextLayout layout(text, options);
    CGRect result = CGRectNull();
    for (std::size_t i = 0; i < layout.lines().size(); ++i) {
        const TextLine& line = layout.lines()[i];
        NSRange piece = NSIntersectionRange(range, line.range);
        if (piece.length == 0) continue;
        CGFloat a = layout.offsetForCharacterIndex(i, piece.location);
        CGFloat b = layout.offsetForCharacterIndex(i, NSMaxRange(piece));
        CGRect box{{line.rect.origin.x + std::min(a, b), line.rect.origin.y}, {std::abs(b - a), line.rect.size.height}};
        result = CGRectUnion(result, box);
    }
    return CGRectIsNull(result) ? CGRectZero : result;
}
