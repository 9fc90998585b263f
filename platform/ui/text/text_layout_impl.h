// The private state of TextLayout, shared by the files that implement it.
#pragma once

#include <pango/pangocairo.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/utf16.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/text/core_text_keys.h"
#include "platform/ui/text/text_engine.h"
#include "platform/ui/text/text_layout.h"
#include "platform/ui/text/ui_font.h"

namespace text_layout_detail {

inline constexpr double kUnit = PANGO_SCALE;

// Points to Pango units, kept inside the range Pango's integers hold (NaN reads as 0).
inline int pangoUnits(double points) {
    double units = points * kUnit;
    if (!(units == units)) return 0;
    return static_cast<int>(std::lround(std::clamp(units, -1e9, 1e9)));
}

inline std::shared_ptr<UIFont> defaultFont() {
    static const std::shared_ptr<UIFont> font = UIFont::systemFontOfSize(12);
    return font;
}

inline guint16 channel(CGFloat v) {
    return static_cast<guint16>(std::lround(std::clamp<CGFloat>(v, 0, 1) * 65535));
}
// Pango reads an alpha of 0 as "unset" (opaque), so fully transparent text gets the smallest alpha.
inline guint16 alphaChannel(CGFloat a) {
    return std::max<guint16>(1, channel(a));
}

inline bool isTruncating(NSLineBreakMode mode) {
    return mode == NSLineBreakMode::ByTruncatingHead || mode == NSLineBreakMode::ByTruncatingTail ||
           mode == NSLineBreakMode::ByTruncatingMiddle;
}

inline PangoEllipsizeMode ellipsizeFor(NSLineBreakMode mode) {
    switch (mode) {
        case NSLineBreakMode::ByTruncatingHead: return PANGO_ELLIPSIZE_START;
        case NSLineBreakMode::ByTruncatingMiddle: return PANGO_ELLIPSIZE_MIDDLE;
        case NSLineBreakMode::ByTruncatingTail: return PANGO_ELLIPSIZE_END;
        default: return PANGO_ELLIPSIZE_END;
    }
}

// How far a super- or subscript run's baseline moves up (down when negative).
inline CGFloat scriptRise(const NSAttributes& a, const UIFont& font) {
    constexpr CGFloat kScriptRise = 0.33;  // of the font size
    if (a.find(NSBaselineOffsetAttributeName)) return 0;
    std::int64_t script = a.get(kCTSuperscriptAttributeName).integerValue();
    return script == 0 ? 0 : font.pointSize() * kScriptRise * (script > 0 ? 1 : -1);
}

struct Stroke {
    std::size_t startByte, endByte;
    CGFloat width;  // percent of the font size; positive strokes only, negative fills and strokes
    CGColor color;
    CGFloat fontSize;
};

}  // namespace text_layout_detail

struct TextLayout::Impl {
    std::string utf8;
    TextLayoutOptions options;
    PangoContext* context = nullptr;
    PangoLayout* layout = nullptr;
    std::vector<TextLine> lines;
    std::size_t visible = 0;
    CGSize size{};
    bool truncated = false;
    bool alignManually = false;  // no Pango width: the whole layout is placed within options.width
    bool clip = false;
    NSTextAlignment alignment = NSTextAlignment::Natural;
    std::vector<text_layout_detail::Stroke> strokes;
    std::vector<NSAttributedString::Run> attributeRuns;  // the source's runs, for line runs
    std::vector<std::pair<NSRange, CGFloat>> kerns;      // kerned runs, in UTF-16 units
    std::shared_ptr<NSShadow> shadow;

    ~Impl() {
        std::lock_guard lock(textEngineMutex());
        if (layout) g_object_unref(layout);
        if (context) g_object_unref(context);
    }

    std::size_t byteAt(std::size_t unit) const { return byteOffsetFromUtf16Offset(utf8, unit); }

    void build(const NSAttributedString& text);
    void applyAttributes(const NSAttributedString& text);
    void collectLines();
    // Draws a line's glyphs (and outlines) with its baseline's start at (x, baseline); the engine's
    // lock is held by the caller.
    void showLine(cairo_t* cr, PangoLayoutLine* line, double x, double baseline) const;
};
