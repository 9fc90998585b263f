// The two looks of the icon button. Shapes are inset by half a point so that the one-point outline
// falls on whole pixels; every shade is derived from the base colour by the palette operations.
#include <cmath>

#include "platform/image/color_space.h"
#include "platform/ui/draw/gradient.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/path.h"
#include "widgets/button/icon_button.h"
#include "widgets/button/ui_color_icon_button.h"

namespace {
constexpr double kOutlineShade = 0.06f;
constexpr double kHighlightedOutlineShade = 0.12f;
constexpr double kHighlightedFillShade = 0.06f;
constexpr double kDisabledSaturation = 0.6f;
constexpr double kGradientTopShade = 0.12f;
constexpr double kInnerShadowLighten = 0.5f;
constexpr CGFloat kLineWidth = 1.0;
constexpr CGFloat kInnerShadowBlur = 2.0;

std::shared_ptr<UIBezierPath> buttonShape(CGSize size, double radius) {
    CGRect r{{0.5, 0.5}, {size.width - 1, size.height - 1}};
    return UIBezierPath::bezierPathWithRoundedRect(r, static_cast<float>(radius));
}
}  // namespace

void IconButton::drawRect(CGRect rect) {
    // The platform button draws nothing of its own under its title and image views.
    CGContext* context = UIGraphicsGetCurrentContext();
    if (!context || !color_) return;
    switch (style_) {
        case IconButtonStyle::V2: drawV2(*context, rect.size); break;
        case IconButtonStyle::V3: drawV3(*context, rect.size); break;
        default: break;
    }
}

void IconButton::drawV3(CGContext& context, CGSize size) {
    context.saveGState();
    auto fill = isHighlighted() ? ib_darkenColorWithValue(*color_, kHighlightedFillShade) : color_;
    auto outline = ib_darkenColorWithValue(*color_, isHighlighted() ? kHighlightedOutlineShade : kOutlineShade);
    if (!isEnabled()) {
        fill = ib_desaturatedColorToPercentSaturation(*fill, kDisabledSaturation);
        outline = ib_desaturatedColorToPercentSaturation(*outline, kDisabledSaturation);
    }
    context.setFillColorWithColor(fill->cgColor());
    context.setStrokeColorWithColor(outline->cgColor());
    context.setLineWidth(kLineWidth);
    context.addPath(buttonShape(size, buttonCornerRadius())->cgPath());
    context.drawPath(CGPathDrawingMode::FillStroke);
    context.restoreGState();
}

void IconButton::drawV2(CGContext& context, CGSize size) {
    auto shape = buttonShape(size, buttonCornerRadius());
    auto border = ib_darkenColorWithValue(*color_, kOutlineShade);
    auto innerShadow = ib_lightenColorWithValue(*color_, kInnerShadowLighten);

    context.saveGState();
    shape->addClip();
    bool darkTop = shouldShowDisabled_ && !isEnabled();
    auto top = darkTop ? ib_darkenColorWithValue(*color_, kGradientTopShade)
                       : ib_lightenColorWithValue(*color_, kGradientTopShade);
    auto gradient =
        CGGradient::createWithColors(CGColorSpaceCreateDeviceRGB(), {top->cgColor(), color_->cgColor()}, {0.0, 1.0});
    CGPoint upper{0, 0.5}, lower{0, size.height - 0.5};
    if (gradient) {
        if (isHighlighted())
            context.drawLinearGradient(*gradient, lower, upper, 0);
        else
            context.drawLinearGradient(*gradient, upper, lower, 0);
    }
    context.restoreGState();

    if (!isHighlighted()) {
        // A frame around the shape, filled far to the left: only its shadow, thrown back over the
        // shape, falls inside the clip, as a light band along one inner edge.
        CGRect bounds = shape->bounds();
        CGRect grown = CGRectOffset(CGRectInset(bounds, -2, -2), 0, -1);
        CGRect outer = CGRectInset(CGRectUnion(grown, bounds), -1, -1);
        CGFloat shift = std::round(outer.size.width);
        auto frame = UIBezierPath::bezierPathWithRect(outer);
        frame->appendPath(*shape);
        frame->setUsesEvenOddFillRule(true);

        context.saveGState();
        context.setShadowWithColor({shift + 0.1, 1.1}, kInnerShadowBlur, innerShadow->cgColor());
        shape->addClip();
        frame->applyTransform(CGAffineTransformMakeTranslation(-shift, 0));
        UIColor::grayColor()->setFill();
        frame->fill();
        context.restoreGState();
    }

    context.setStrokeColorWithColor(border->cgColor());
    shape->setLineWidth(kLineWidth);
    shape->stroke();
}
