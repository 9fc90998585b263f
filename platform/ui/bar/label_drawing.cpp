// Text and rounded-rectangle helpers over the current graphics context.
#include "platform/ui/bar/label_drawing.h"

#include <algorithm>
#include <map>
#include <string>
#include <tuple>

#include "platform/ui/draw/graphics.h"
#include "platform/ui/text/paragraph_style.h"
#include "platform/ui/text/string_drawing.h"
#include "platform/ui/text/text_layout.h"

NSAttributes labelAttributes(const std::shared_ptr<UIFont>& font, const std::shared_ptr<UIColor>& color) {
    NSAttributes a;
    a.set(NSFontAttributeName, Value(font ? font : UIFont::systemFontOfSize(17)));
    a.set(NSForegroundColorAttributeName, Value(color ? color : UIColor::labelColor()));
    return a;
}

CGSize labelSize(std::string_view text, const std::shared_ptr<UIFont>& font) {
    return sizeWithAttributes(text, labelAttributes(font, nullptr));
}

namespace {

// One laid-out line, vertically centred in the rectangle and aligned in it, clipped to it.
void drawLine(CGContext* ctx, const TextLayout& layout, CGRect rect, LabelAlignment alignment) {
    CGSize size = layout.size();
    CGFloat x = rect.origin.x;
    if (alignment == LabelAlignment::Center) x += (rect.size.width - size.width) / 2;
    if (alignment == LabelAlignment::Right) x += rect.size.width - size.width;
    CGFloat y = rect.origin.y + (rect.size.height - size.height) / 2;
    ctx->saveGState();
    UIRectClip(rect);
    layout.draw(*ctx, CGPoint{std::max(x, rect.origin.x), y});
    ctx->restoreGState();
}

struct MarkKey {
    std::string text, face;
    CGFloat pointSize, red, green, blue, alpha;
    bool operator<(const MarkKey& o) const {
        return std::tie(text, face, pointSize, red, green, blue, alpha) <
               std::tie(o.text, o.face, o.pointSize, o.red, o.green, o.blue, o.alpha);
    }
};

constexpr std::size_t kMarksKept = 32;

}  // namespace

void drawLabel(std::string_view text, CGRect rect, const std::shared_ptr<UIFont>& font,
               const std::shared_ptr<UIColor>& color, LabelAlignment alignment) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx || text.empty()) return;
    // One layout measures and draws (as sizeWithAttributes and drawAtPoint would each make).
    drawLine(
        ctx,
        TextLayout(*NSAttributedString::make(std::string(text), labelAttributes(font, color)), TextLayoutOptions{}),
        rect, alignment);
}

void drawMark(std::string_view text, CGRect rect, const std::shared_ptr<UIFont>& font,
              const std::shared_ptr<UIColor>& color, LabelAlignment alignment) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx || text.empty()) return;
    const auto face = font ? font : UIFont::systemFontOfSize(17);
    const auto paint = color ? color : UIColor::labelColor();
    // The layout holds the colour as resolved now (light or dark), so the key does too; a pattern
    // has no components to tell it by.
    const CGColor resolved = paint->cgColor();
    if (resolved.pattern) {
        drawLabel(text, rect, face, paint, alignment);
        return;
    }
    MarkKey key{std::string(text),
                face->fontName() + '\n' + face->renderFamily() + (face->isBold() ? "\nb" : "") +
                    (face->isItalic() ? "\ni" : ""),
                face->pointSize(),
                resolved.red,
                resolved.green,
                resolved.blue,
                resolved.alpha};
    // Per thread: a layout is drawn by one thread at a time.
    thread_local std::map<MarkKey, TextLayout> marks;
    auto it = marks.find(key);
    if (it == marks.end()) {
        if (marks.size() >= kMarksKept) marks.clear();
        TextLayout layout(*NSAttributedString::make(std::string(text), labelAttributes(face, paint)),
                          TextLayoutOptions{});
        it = marks.emplace(std::move(key), std::move(layout)).first;
    }
    drawLine(ctx, it->second, rect, alignment);
}

void drawWrapped(std::string_view text, CGRect rect, const std::shared_ptr<UIFont>& font,
                 const std::shared_ptr<UIColor>& color, LabelAlignment alignment) {
    if (!UIGraphicsGetCurrentContext() || text.empty()) return;
    auto attributes = labelAttributes(font, color);
    auto style = NSParagraphStyle::make();
    style->alignment = alignment == LabelAlignment::Center  ? NSTextAlignment::Center
                       : alignment == LabelAlignment::Right ? NSTextAlignment::Right
                                                            : NSTextAlignment::Left;
    attributes.set(NSParagraphStyleAttributeName, Value(style));
    drawInRect(text, rect, attributes);
}

void fillRoundedRect(CGRect rect, CGFloat radius, const std::shared_ptr<UIColor>& color) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx || !color) return;
    radius = std::min({radius, rect.size.width / 2, rect.size.height / 2});
    CGFloat x0 = rect.origin.x, y0 = rect.origin.y, x1 = CGRectGetMaxX(rect), y1 = CGRectGetMaxY(rect);
    ctx->saveGState();
    ctx->setFillColorWithColor(color->cgColor());
    ctx->beginPath();
    ctx->moveToPoint(x0 + radius, y0);
    ctx->addArcToPoint(x1, y0, x1, y1, radius);
    ctx->addArcToPoint(x1, y1, x0, y1, radius);
    ctx->addArcToPoint(x0, y1, x0, y0, radius);
    ctx->addArcToPoint(x0, y0, x1, y0, radius);
    ctx->closePath();
    ctx->fillPath();
    ctx->restoreGState();
}
