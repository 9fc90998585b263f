#include "editor/color/pop_adj_color_view.h"

#include <cmath>

#include "editor/adjust/adj_record.h"
#include "editor/color/color_picker_math.h"
#include "editor/color/color_values.h"
#include "editor/input/adj_numbers.h"
#include "filter/filter_element.h"
#include "foundation/numeric.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/gesture/ui_pan_gesture_recognizer.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "platform/ui/layer/ca_gradient_layer.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/color_custom.h"
#include "widgets/flat/flat_palette.h"

namespace {

constexpr CGFloat kPaletteInset = 10;
// Room under the swatches for the square, the strip and their margins.
constexpr CGFloat kPickerHeight = 170;
constexpr CGFloat kGroupRight = 20;
constexpr CGFloat kActualLeft = 15;
constexpr CGFloat kPickerBottom = 10;
// The swatch row: the panel's width less this, in ten swatches with their gaps.
constexpr CGFloat kPaletteMargin = 30;
constexpr CGFloat kSwatchesPerRow = 10;
constexpr CGFloat kRowGaps = 45;
const char* const kColorType = "CIColor";

std::shared_ptr<UIColor> byteColor(const std::array<int, 3>& c) {
    return UIColor::colorWithRed(c[0] / 255.0, c[1] / 255.0, c[2] / 255.0, 1);
}

std::shared_ptr<UIView> shapeView(CGSize size, CGPath path, bool shadow) {
    auto view = UIView::make(CGRect{{0, 0}, size});
    auto shape = CAShapeLayer::make();
    shape->setPosition({size.width / 2, size.height / 2});
    shape->setPath(std::move(path));
    shape->setStrokeColor(CGColor::rgb(1, 0, 0));
    shape->setFillColor(CGColor::rgb(0, 0, 0, 0));
    shape->setLineWidth(1);
    shape->setLineCap(CGLineCap::Butt);
    shape->setLineJoin(CGLineJoin::Miter);
    if (shadow) {
        shape->setShadowColor(CGColor::rgb(0, 0, 0));
        shape->setShadowRadius(3);
        shape->setShadowOffset({0, 0});
        shape->setShadowOpacity(1);
    }
    view->layer()->addSublayer(shape);
    view->setUserInteractionEnabled(false);
    return view;
}

}  // namespace

void PopAdjColorView::init() {
    PopAdjGeneralBase::init();
    setSize(kSize);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(0, 1));
    b0_ = UIView::make();
    b0_->setBackgroundColor(UIColor::colorWithWhite(1, 1));
    b0p()->addSubview(b0_);
    addConstraintsFull(b0_, b0p(), 0, kTitleBarHeight, 0, 0);

    buildPalette();
    group_ = UIView::make(CGRect{{0, 0}, kGroupSize});
    auto gradient = CAGradientLayer::make();
    std::vector<CGColor> knots;
    for (int k = 0; k <= 6; ++k) {
        const Rgb c = hueColor(k / 6.0);
        knots.push_back(CGColor::rgb(c[0], c[1], c[2]));
    }
    gradient->setColors(std::move(knots));
    gradient->setFrame({{0, 0}, kGroupSize});
    group_->layer()->addSublayer(gradient);
    initGroup();
    actual_ = UIImageView::make();
    assignBorder(*actual_, 1, UIColor::whiteColor());
    initActual();

    b0_->addSubview(palette_);
    b0_->addSubview(group_);
    b0_->addSubview(actual_);
    addConstraintsRB(group_, b0_, -kGroupRight, -kPickerBottom, kGroupSize.width, kGroupSize.height);
    addConstraintsLB(actual_, b0_, kActualLeft, -kPickerBottom, kActualSize.width, kActualSize.height);
    addConstraintsFull(palette_, b0_, kPaletteInset, kPaletteInset, -kPaletteInset, -kPickerHeight);
    b0_->addSubview(viewArrow_);
    b0_->addSubview(viewPointer_);
    b0_->setUserInteractionEnabled(true);
    group_->setUserInteractionEnabled(true);
    actual_->setUserInteractionEnabled(true);
    std::weak_ptr<PopAdjColorView> weak = self<PopAdjColorView>();
    UIViewAddGestureRecognizer(*b0_, UITapGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto s = weak.lock()) s->onTapB0(r);
    }));
    UIViewAddGestureRecognizer(*b0_, UIPanGestureRecognizer::make([weak](UIGestureRecognizer& r) {
        if (auto s = weak.lock()) s->onPanB0(r);
    }));
}

void PopAdjColorView::buildPalette() {
    palette_ = UIScrollView::make();
    palette_->setBackgroundColor(UIColor::whiteColor());
    assignBorder(*palette_, 1, flatBlackColor());
    const CGFloat width = size().width - kPaletteMargin;
    const CGFloat side = std::floor(static_cast<float>((width - kRowGaps) / kSwatchesPerRow));
    CGFloat x = kSwatchStart;
    CGFloat y = kSwatchStart;
    std::weak_ptr<PopAdjColorView> weak = self<PopAdjColorView>();
    for (const auto& group : swatchGroups()) {
        for (std::size_t i = 0; i < group.size(); ++i) {
            auto swatch = UIButton::buttonWithType(UIButtonType::Custom);
            swatch->setFrame({{x, y}, {side, side}});
            auto color = byteColor(group[i]);
            swatch->setBackgroundColor(color);
            swatch->addAction(
                [weak](UIControl& c) {
                    if (auto s = weak.lock()) s->onPalette(static_cast<UIButton&>(c));
                },
                UIControlEventTouchUpInside);
            const auto rgba = array(*color);
            // White would vanish into the white ground.
            if (isNearlyEqual(static_cast<float>(rgba[0]), 1) && isNearlyEqual(static_cast<float>(rgba[1]), 1) &&
                isNearlyEqual(static_cast<float>(rgba[2]), 1)) {
                swatch->layer()->setBorderWidth(1);
                swatch->layer()->setBorderColor(CGColor::rgb(0, 0, 0));
            }
            palette_->addSubview(swatch);
            swatches_.push_back(swatch);
            x += side + kSwatchGap;
            if (i + 1 < group.size() && x + side > width) {
                y += side + kSwatchGap;
                x = kSwatchStart;
            }
        }
        y += side + kSwatchGap;
        x = kSwatchStart;
    }
    palette_->setContentSize({width, y});
}

void PopAdjColorView::initGroup() {
    CGPath arrows;
    arrows.moveToPoint({-25, 5});
    arrows.addLineToPoint({-15, 0});
    arrows.addLineToPoint({-25, -5});
    arrows.closeSubpath();
    arrows.moveToPoint({25, 5});
    arrows.addLineToPoint({15, 0});
    arrows.addLineToPoint({25, -5});
    arrows.closeSubpath();
    viewArrow_ = shapeView(kArrowSize, std::move(arrows), false);
}

void PopAdjColorView::initActual() {
    CGPath cross;
    cross.addRect({{-1, -1}, {2, 2}});
    const CGPoint ticks[4][2] = {{{0, -5}, {0, -10}}, {{5, 0}, {10, 0}}, {{0, 5}, {0, 10}}, {{-5, 0}, {-10, 0}}};
    for (const auto& t : ticks) {
        cross.moveToPoint(t[0]);
        cross.addLineToPoint(t[1]);
    }
    viewPointer_ = shapeView(kPointerSize, std::move(cross), true);
}

void PopAdjColorView::show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion) {
    value_ = record;
    std::weak_ptr<PopAdjColorView> weak = self<PopAdjColorView>();
    const Value shown = record;
    showForRecord(sender, record, [weak, shown, completion = std::move(completion)] {
        // A later show may have rebound the editor while this one animated.
        auto s = weak.lock();
        if (s && s->value_.identity() == shown.identity()) s->load();
        if (completion) completion();
    });
}

void PopAdjColorView::load() {
    auto color = colorOfNumbers(value_["value"]);
    pick(color ? *color : *UIColor::blackColor());
    if (value_["type"].stringValue() == kColorType) updateColor();
}

void PopAdjColorView::pick(const UIColor& color) {
    // The markers and the square are placed by the laid-out frames.
    b0_->layoutIfNeeded();
    const PickerPosition p = pickerPosition(color);
    gp_ = clampFloat(static_cast<float>(p.hue), 0, 1);
    ap_ = {clampFloat(static_cast<float>(p.square.x), 0, 1), clampFloat(static_cast<float>(p.square.y), 0, 1)};
    updateGroup();
    updateActual();
    updatePointer();
}

void PopAdjColorView::onRightButton(IconButton&) {
    const auto def = adjRecordFloats(value_, "def", 4);
    FilterElement::setAttrValueColor(value_, def[0], def[1], def[2], def[3]);
    load();
    reportChange(value_);
}

void PopAdjColorView::updateGroup() {
    const CGRect g = group_->frame();
    const CGPoint centre{CGRectGetMidX(g), lerpFloat(static_cast<float>(CGRectGetMinY(g)),
                                                     static_cast<float>(CGRectGetMaxY(g)), static_cast<float>(gp_))};
    auto arrow = viewArrow_;
    UIViewAnimation::animate(kMarkerDuration, [arrow, centre] { arrow->setCenter(centre); });
}

void PopAdjColorView::updatePointer() {
    const CGRect a = actual_->frame();
    const CGPoint centre{lerpFloat(static_cast<float>(CGRectGetMinX(a)), static_cast<float>(CGRectGetMaxX(a)),
                                   static_cast<float>(ap_.x)),
                         lerpFloat(static_cast<float>(CGRectGetMinY(a)), static_cast<float>(CGRectGetMaxY(a)),
                                   static_cast<float>(ap_.y))};
    auto pointer = viewPointer_;
    UIViewAnimation::animate(kMarkerDuration, [pointer, centre] { pointer->setCenter(centre); });
}

void PopAdjColorView::updateActual() {
    const auto w = static_cast<int>(actual_->frame().size.width);
    const auto h = static_cast<int>(actual_->frame().size.height);
    if (w < 1 || h < 1) return;
    UIGraphicsBeginImageContextWithOptions({static_cast<CGFloat>(w), static_cast<CGFloat>(h)}, false, 1);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgb c = squareColor(gp_, static_cast<double>(x) / w, static_cast<double>(y) / h);
            UIColor::colorWithRed(c[0], c[1], c[2], 1)->setFill();
            UIRectFill({{static_cast<CGFloat>(x), static_cast<CGFloat>(y)}, {1, 1}});
        }
    }
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    actual_->setImage(image);
}

void PopAdjColorView::updateColor() {
    const Rgb c = squareColor(gp_, ap_.x, ap_.y);
    FilterElement::setAttrValueColor(value_, c[0], c[1], c[2], 1.0);
    reportChange(value_);
}

bool PopAdjColorView::belowPalette(CGPoint p) const {
    return p.y > CGRectGetMaxY(palette_->frame());
}

bool PopAdjColorView::overGroup(CGPoint p) const {
    const CGFloat mid = (CGRectGetMaxX(actual_->frame()) + CGRectGetMinX(group_->frame())) / 2;
    return p.x > mid;
}

void PopAdjColorView::onTapB0(UIGestureRecognizer& r) {
    const CGPoint p = r.locationInView(b0_);
    if (!belowPalette(p)) return;
    if (overGroup(p)) {
        onTapGroup(r);
    } else {
        onTapActual(r);
    }
}

void PopAdjColorView::onPanB0(UIGestureRecognizer& r) {
    const auto state = r.state();
    if (state == UIGestureRecognizerState::Ended || state == UIGestureRecognizerState::Cancelled ||
        state == UIGestureRecognizerState::Failed) {
        panning_.reset();
        return;
    }
    const CGPoint p = r.locationInView(b0_);
    if (!panning_.lock() && belowPalette(p)) panning_ = overGroup(p) ? group_ : std::shared_ptr<UIView>(actual_);
    const auto panning = panning_.lock();
    if (panning == group_) {
        onPanGroup(r);
    } else if (panning && panning == actual_) {
        onPanActual(r);
    }
}

void PopAdjColorView::onTapGroup(UIGestureRecognizer& r) {
    if (r.state() == UIGestureRecognizerState::Ended) hueAt(r);
}

void PopAdjColorView::onPanGroup(UIGestureRecognizer& r) {
    if (r.state() == UIGestureRecognizerState::Changed) hueAt(r);
}

void PopAdjColorView::onTapActual(UIGestureRecognizer& r) {
    if (r.state() == UIGestureRecognizerState::Ended) squareAt(r);
}

void PopAdjColorView::onPanActual(UIGestureRecognizer& r) {
    if (r.state() == UIGestureRecognizerState::Changed) squareAt(r);
}

void PopAdjColorView::hueAt(UIGestureRecognizer& r) {
    const CGPoint q = r.locationInView(group_);
    gp_ = clampFloat(static_cast<float>(q.y / group_->frame().size.height), 0, 1);
    updateGroup();
    updateActual();
    updateColor();
}

void PopAdjColorView::squareAt(UIGestureRecognizer& r) {
    const CGPoint q = r.locationInView(actual_);
    const CGSize s = actual_->frame().size;
    ap_ = {clampFloat(static_cast<float>(q.x / s.width), 0, 1), clampFloat(static_cast<float>(q.y / s.height), 0, 1)};
    updatePointer();
    updateColor();
}

void PopAdjColorView::onPalette(UIButton& swatch) {
    if (auto color = swatch.backgroundColor()) pick(*color);
    updateColor();
}
