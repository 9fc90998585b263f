// TextLayout over Pango: attributes to Pango attributes, line limits and truncation, drawing.
#include "platform/ui/text/text_layout.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/runtime/utf16.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/context.h"
#include "platform/ui/draw/drawn_area.h"
#include "platform/ui/text/core_text_keys.h"
#include "platform/ui/text/text_engine.h"
#include "platform/ui/text/text_layout_impl.h"
#include "platform/ui/text/ui_font.h"

using namespace text_layout_detail;

void TextLayout::Impl::applyAttributes(const NSAttributedString& text) {
    attributeRuns = text.runs();
    PangoAttrList* list = pango_attr_list_new();
    for (const auto& run : text.runs()) {
        auto start = static_cast<guint>(byteAt(run.range.location));
        auto end = static_cast<guint>(byteAt(NSMaxRange(run.range)));
        auto add = [&](PangoAttribute* attribute) {
            attribute->start_index = start;
            attribute->end_index = end;
            pango_attr_list_insert(list, attribute);
        };
        const NSAttributes& a = run.attributes;
        auto font = a.get(NSFontAttributeName).objectAs<UIFont>();
        if (!font) font = defaultFont();
        if (font) {
            PangoFontDescription* description = createFontDescription(*font);
            add(pango_attr_font_desc_new(description));
            pango_font_description_free(description);
        }
        CGFloat strokeWidth = a.get(NSStrokeWidthAttributeName).doubleValue();
        // The platform's keys first, then the layout engine's own names for the same colours.
        auto colorOf = [&](const char* key) -> std::optional<CGColor> {
            if (auto color = a.get(key).objectAs<UIColor>()) return color->cgColor();
            if (const char* alias = coreTextColorKey(key))
                if (auto color = a.get(alias).objectAs<UIColor>()) return color->cgColor();
            return std::nullopt;
        };
        CGColor foreground = colorOf(NSForegroundColorAttributeName).value_or(CGColor::rgb(0, 0, 0, 1));
        if (strokeWidth > 0) foreground.alpha = 0;  // hollow text: only the outline is drawn
        add(pango_attr_foreground_new(channel(foreground.red), channel(foreground.green), channel(foreground.blue)));
        add(pango_attr_foreground_alpha_new(alphaChannel(foreground.alpha)));
        if (strokeWidth != 0 && font) {
            CGColor strokeColor =
                colorOf(NSStrokeColorAttributeName)
                    .value_or(colorOf(NSForegroundColorAttributeName).value_or(CGColor::rgb(0, 0, 0)));
            strokes.push_back({start, end, strokeWidth, strokeColor, font->pointSize()});
        }
        if (auto background = colorOf(NSBackgroundColorAttributeName)) {
            add(pango_attr_background_new(channel(background->red), channel(background->green),
                                          channel(background->blue)));
            add(pango_attr_background_alpha_new(alphaChannel(background->alpha)));
        }
        if (const Value* kern = a.find(NSKernAttributeName)) {
            add(pango_attr_letter_spacing_new(pangoUnits(kern->doubleValue())));
            kerns.push_back({run.range, kern->doubleValue()});
        }
        std::int64_t underline = a.get(NSUnderlineStyleAttributeName).integerValue();
        if (underline != 0) {
            add(pango_attr_underline_new((underline & 0xF) == 9 ? PANGO_UNDERLINE_DOUBLE : PANGO_UNDERLINE_SINGLE));
            if (auto color = colorOf(NSUnderlineColorAttributeName))
                add(pango_attr_underline_color_new(channel(color->red), channel(color->green), channel(color->blue)));
        }
        if (a.get(NSStrikethroughStyleAttributeName).integerValue() != 0) add(pango_attr_strikethrough_new(TRUE));
        if (const Value* offset = a.find(NSBaselineOffsetAttributeName))
            add(pango_attr_rise_new(pangoUnits(offset->doubleValue())));
        else if (font && scriptRise(a, *font) != 0)
            add(pango_attr_rise_new(pangoUnits(scriptRise(a, *font))));
        if (const Value* ligature = a.find(NSLigatureAttributeName); ligature && ligature->integerValue() == 0)
            add(pango_attr_font_features_new("liga 0, clig 0"));
        if (!shadow) shadow = a.get(NSShadowAttributeName).objectAs<NSShadow>();
    }
    // Line heights apply to the whole text: the natural height (the tallest font, times the
    // multiple) held between the style's minimum and maximum where those are set.
    auto style =
        text.length() ? text.attributeAtIndex(NSParagraphStyleAttributeName, 0).objectAs<NSParagraphStyle>() : nullptr;
    if (style) {
        PangoAttribute* height = nullptr;
        CGFloat natural = 0;
        for (const auto& run : text.runs()) {
            auto font = run.attributes.get(NSFontAttributeName).objectAs<UIFont>();
            natural = std::max(natural, (font ? font : defaultFont())->lineHeight());
        }
        CGFloat multiple = style->lineHeightMultiple > 0 ? style->lineHeightMultiple : 1;
        CGFloat wanted = natural * multiple;
        if (style->minimumLineHeight > 0) wanted = std::max(wanted, style->minimumLineHeight);
        if (style->maximumLineHeight > 0) wanted = std::min(wanted, style->maximumLineHeight);
        if (style->maximumLineHeight > 0 && style->minimumLineHeight == style->maximumLineHeight)
            height = pango_attr_line_height_new_absolute(pangoUnits(style->maximumLineHeight));
        else if ((style->minimumLineHeight > 0 || style->maximumLineHeight > 0) &&
                 std::abs(wanted - natural * multiple) > 1e-9)
            height = pango_attr_line_height_new_absolute(pangoUnits(wanted));
        else if (multiple != 1)
            height = pango_attr_line_height_new(multiple);
        if (height) {
            height->start_index = 0;
            height->end_index = PANGO_ATTR_INDEX_TO_TEXT_END;
            pango_attr_list_insert(list, height);
        }
    }
    pango_layout_set_attributes(layout, list);
    pango_attr_list_unref(list);
}

void TextLayout::Impl::build(const NSAttributedString& text) {
    std::lock_guard lock(textEngineMutex());
    utf8 = text.string();
    context = createTextContext();
    layout = pango_layout_new(context);
    pango_layout_set_text(layout, utf8.c_str(), static_cast<int>(utf8.size()));
    applyAttributes(text);

    auto style =
        text.length() ? text.attributeAtIndex(NSParagraphStyleAttributeName, 0).objectAs<NSParagraphStyle>() : nullptr;
    if (!style) style = NSParagraphStyle::defaultParagraphStyle();
    NSLineBreakMode mode = options.lineBreakMode.value_or(style->lineBreakMode);
    alignment = options.alignment.value_or(style->alignment);
    bool truncating = isTruncating(mode);
    clip = mode == NSLineBreakMode::ByClipping;
    bool wraps = !(truncating || clip) || options.truncatingModesWrap;
    // Widths beyond what Pango can hold (a million points) are as good as unlimited.
    bool bounded = std::isfinite(options.width) && options.width > 0 && options.width < 1e6;

    if (bounded && wraps) {
        pango_layout_set_width(layout, pangoUnits(options.width));
        pango_layout_set_wrap(layout, mode == NSLineBreakMode::ByCharWrapping ? PANGO_WRAP_CHAR : PANGO_WRAP_WORD_CHAR);
    } else if (bounded && truncating) {
        pango_layout_set_width(layout, pangoUnits(options.width));
        pango_layout_set_ellipsize(layout, ellipsizeFor(mode));
        pango_layout_set_height(layout, -1);  // one line per paragraph
    } else {
        alignManually = bounded;
    }
    switch (alignment) {
        case NSTextAlignment::Center: pango_layout_set_alignment(layout, PANGO_ALIGN_CENTER); break;
        case NSTextAlignment::Right: pango_layout_set_alignment(layout, PANGO_ALIGN_RIGHT); break;
        case NSTextAlignment::Justified: pango_layout_set_justify(layout, TRUE); break;
        default: pango_layout_set_alignment(layout, PANGO_ALIGN_LEFT); break;
    }
    pango_layout_set_spacing(layout, pangoUnits(style->lineSpacing));
    if (style->firstLineHeadIndent != 0) pango_layout_set_indent(layout, pangoUnits(style->firstLineHeadIndent));

    collectLines();
    if (text.length() == 0) {
        lines.clear();
        visible = 0;
        size = CGSizeZero;
        return;
    }

    // Line limits: a maximum count, and the height (the first line is always kept).
    std::size_t fit = lines.size();
    if (options.maximumNumberOfLines > 0) fit = std::min<std::size_t>(fit, options.maximumNumberOfLines);
    if (std::isfinite(options.height)) {
        std::size_t byHeight = 0;
        while (byHeight < lines.size() && CGRectGetMaxY(lines[byHeight].rect) <= options.height + 1e-6) ++byHeight;
        fit = std::min(fit, std::max<std::size_t>(byHeight, 1));
    }
    if (fit < lines.size()) {
        truncated = true;
        if (bounded && wraps && (truncating || options.truncatesLastVisibleLine)) {
            // Pango ellipsizes the last line that fits within a positive layout height.
            pango_layout_set_ellipsize(layout, truncating ? ellipsizeFor(mode) : PANGO_ELLIPSIZE_END);
            pango_layout_set_height(layout, pangoUnits(CGRectGetMaxY(lines[fit - 1].rect)) + 1);
            collectLines();
            fit = std::min(fit, lines.size());
        }
        lines.resize(fit);
    }
    visible = lines.size();
    if (pango_layout_is_ellipsized(layout)) truncated = true;

    CGFloat width = 0;
    for (const auto& line : lines) width = std::max(width, line.rect.size.width);
    if (alignManually && width > options.width) {
        if (clip) truncated = true;
        width = options.width;
    }
    size = {width, lines.empty() ? 0 : CGRectGetMaxY(lines.back().rect)};
}

void TextLayout::Impl::collectLines() {
    lines.clear();
    PangoLayoutIter* it = pango_layout_get_iter(layout);
    do {
        PangoRectangle logical;
        pango_layout_iter_get_line_extents(it, nullptr, &logical);
        PangoLayoutLine* line = pango_layout_iter_get_line_readonly(it);
        std::size_t startByte = static_cast<std::size_t>(line->start_index);
        std::size_t endByte = startByte + static_cast<std::size_t>(line->length);
        std::size_t startUnit = utf16OffsetFromByteOffset(utf8, startByte);
        std::size_t endUnit = utf16OffsetFromByteOffset(utf8, endByte);
        // Pango spaces kerned characters only between each other; the platform also adds the
        // amount after a line's last character, which widens the line.
        double trailing = 0;
        if (endUnit > startUnit)
            for (const auto& [range, kern] : kerns)
                if (NSLocationInRange(endUnit - 1, range)) trailing = kern;
        lines.push_back(
            {{{logical.x / kUnit, logical.y / kUnit}, {logical.width / kUnit + trailing, logical.height / kUnit}},
             pango_layout_iter_get_baseline(it) / kUnit,
             {startUnit, endUnit - startUnit}});
    } while (pango_layout_iter_next_line(it));
    pango_layout_iter_free(it);
}

TextLayout::TextLayout(const NSAttributedString& text, const TextLayoutOptions& options)
    : impl_(std::make_unique<Impl>()) {
    impl_->options = options;
    impl_->build(text);
}

TextLayout::~TextLayout() = default;
TextLayout::TextLayout(TextLayout&&) noexcept = default;
TextLayout& TextLayout::operator=(TextLayout&&) noexcept = default;

CGSize TextLayout::size() const {
    return impl_->size;
}
const std::vector<TextLine>& TextLayout::lines() const {
    return impl_->lines;
}
bool TextLayout::isTruncated() const {
    return impl_->truncated;
}

void TextLayout::Impl::showLine(cairo_t* cr, PangoLayoutLine* line, double x, double baseline) const {
    cairo_move_to(cr, x, baseline);
    pango_cairo_show_layout_line(cr, line);
    if (strokes.empty()) return;
    // Outlined runs: the glyphs' paths stroked in the stroke colour.
    for (GSList* r = line->runs; r; r = r->next) {
        auto* run = static_cast<PangoGlyphItem*>(r->data);
        std::size_t offset = static_cast<std::size_t>(run->item->offset);
        const Stroke* stroke = nullptr;
        for (const auto& s : strokes)
            if (offset >= s.startByte && offset < s.endByte) stroke = &s;
        if (!stroke) continue;
        int runX = 0;
        for (GSList* before = line->runs; before != r; before = before->next)
            runX += pango_glyph_string_get_width(static_cast<PangoGlyphItem*>(before->data)->glyphs);
        cairo_save(cr);
        cairo_move_to(cr, x + runX / kUnit, baseline);
        pango_cairo_glyph_string_path(cr, run->item->analysis.font, run->glyphs);
        cairo_set_source_rgba(cr, stroke->color.red, stroke->color.green, stroke->color.blue, stroke->color.alpha);
        cairo_set_line_width(cr, std::abs(stroke->width) / 100 * stroke->fontSize);
        cairo_stroke(cr);
        cairo_restore(cr);
    }
}

namespace {
// The target a layout was last laid out for. Every update lays the whole text out again (Pango
// counts it a change even when nothing differs), so a drawing updates once for its target: a
// second update with the same target, surface and matrix would give the same layout.
struct LaidOutFor {
    cairo_t* cr = nullptr;
    cairo_surface_t* target = nullptr;
    cairo_matrix_t matrix{};
    bool same(cairo_t* other) const {
        if (!cr || other != cr || cairo_get_group_target(other) != target) return false;
        cairo_matrix_t m;
        cairo_get_matrix(other, &m);
        return std::memcmp(&m, &matrix, sizeof m) == 0;
    }
    void take(cairo_t* other, PangoLayout* layout) {
        pango_cairo_update_layout(other, layout);
        cr = other;
        target = cairo_get_group_target(other);
        cairo_get_matrix(other, &matrix);
    }
};
}  // namespace

void TextLayout::draw(CGContext& context, CGPoint origin) const {
    const Impl& d = *impl_;
    if (d.visible == 0) return;
    LaidOutFor laidOutFor;
    CGFloat dx = 0;
    if (d.alignManually && d.size.width < d.options.width) {
        if (d.alignment == NSTextAlignment::Center)
            dx = (d.options.width - d.size.width) / 2;
        else if (d.alignment == NSTextAlignment::Right)
            dx = d.options.width - d.size.width;
    }
    bool shadowed = d.shadow != nullptr;
    if (shadowed) {
        context.saveGState();
        std::optional<CGColor> color =
            d.shadow->shadowColor ? d.shadow->shadowColor->cgColor() : CGColor::rgb(0, 0, 0, 1.0 / 3.0);
        context.setShadowWithColor(d.shadow->shadowOffset, d.shadow->shadowBlurRadius, color);
    }
    {
        // The glyphs stay within the layout's ink and logical boxes, measured as drawn (unhinted,
        // at the target's scale); the margin takes in antialiasing's partial pixels, with room to
        // spare, and outlines' strokes. (A wide margin costs each drawing a look through rows
        // that hold nothing for the pixels it drew.)
        PangoRectangle ink, logical;
        {
            std::lock_guard lock(textEngineMutex());
            // Laid out for the target as the drawing below will be (its font options and scale).
            if (context.cairo()) laidOutFor.take(context.cairo(), d.layout);
            pango_layout_get_extents(d.layout, &ink, &logical);
        }
        const double x0 = std::min(ink.x, logical.x) / kUnit, y0 = std::min(ink.y, logical.y) / kUnit;
        const double x1 = std::max(ink.x + ink.width, logical.x + logical.width) / kUnit;
        const double y1 = std::max(ink.y + ink.height, logical.y + logical.height) / kUnit;
        double stroke = 0;
        for (const auto& st : d.strokes) stroke = std::max<double>(stroke, std::abs(st.width) / 100 * st.fontSize);
        const double margin = 1 + 0.05 * (y1 - y0) + stroke;
        DrawnArea::nextCallReaches(CGRectMake(origin.x + dx + x0 - margin, origin.y + y0 - margin, x1 - x0 + 2 * margin,
                                              y1 - y0 + 2 * margin));
    }
    context.drawWithState([&](cairo_t* cr) {
        std::lock_guard lock(textEngineMutex());
        cairo_save(cr);
        cairo_new_path(cr);
        if (d.clip && d.alignManually) {
            cairo_rectangle(cr, origin.x, origin.y - 1e5, d.options.width, 2e5);
            cairo_clip(cr);
        }
        cairo_set_source_rgba(cr, 0, 0, 0, 1);
        if (!laidOutFor.same(cr)) laidOutFor.take(cr, d.layout);
        PangoLayoutIter* it = pango_layout_get_iter(d.layout);
        std::size_t index = 0;
        do {
            if (index++ >= d.visible) break;
            PangoRectangle logical;
            pango_layout_iter_get_line_extents(it, nullptr, &logical);
            double baseline = pango_layout_iter_get_baseline(it) / kUnit;
            PangoLayoutLine* line = pango_layout_iter_get_line_readonly(it);
            d.showLine(cr, line, origin.x + dx + logical.x / kUnit, origin.y + baseline);
        } while (pango_layout_iter_next_line(it));
        pango_layout_iter_free(it);
        cairo_restore(cr);
    });
    if (shadowed) context.restoreGState();
}

std::optional<std::size_t> TextLayout::characterIndexAtPoint(CGPoint point) const {
    const Impl& d = *impl_;
    bool inLine = false;
    for (const auto& line : d.lines)
        if (point.y >= CGRectGetMinY(line.rect) && point.y < CGRectGetMaxY(line.rect) && point.x >= 0 &&
            point.x < std::max(CGRectGetMaxX(line.rect), line.rect.size.width))
            inLine = true;
    if (!inLine) return std::nullopt;
    std::lock_guard lock(textEngineMutex());
    int index = 0, trailing = 0;
    if (!pango_layout_xy_to_index(d.layout, pangoUnits(point.x), pangoUnits(point.y), &index, &trailing))
        return std::nullopt;
    return utf16OffsetFromByteOffset(d.utf8, static_cast<std::size_t>(index));
}
