// Text and rounded-rectangle helpers over the current graphics context.
#include "platform/ui/bar/label_drawing.h"

#include <algorithm>

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

void drawLabel(std::string_view text, CGRect rect, const std::shared_ptr<UIFont>& font,
               const std::shared_ptr<UIColor>& color, LabelAlignment alignment) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx || text.empty()) return;
    // One layout measures and draws (as sizeWithAttributes and drawAtPoint would each make).
    const TextLayout layout(*NSAttributedString::make(std::string(text), labelAttributes(font, color)), TextLayoutOptions{});
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
