#include "editor/input/pop_adj_transform_view.h"

#include <numbers>

#include "editor/input/adj_numbers.h"
#include "filter/filter_element.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/popup/popup_metrics.h"
#include "widgets/button/icon_button.h"

namespace {
constexpr std::uint16_t kGlyphFlipH = 61566;
constexpr std::uint16_t kGlyphFlipV = 61565;
constexpr std::uint16_t kGlyphRotateL = 61666;
constexpr std::uint16_t kGlyphRotateR = 61470;
constexpr std::size_t kTransformCount = 6;
}  // namespace

void PopAdjTransformView::init() {
    PopAdjGeneralBase::init();
    setSize(kSize);
    bg()->setBackgroundColor(UIColor::clearColor());
    setBgColor(UIColor::colorWithWhite(0, 0.8));
    b0_ = UIView::make();
    assignRound(*b0_, kPopupCornerRadius);
    b0_->setBackgroundColor(UIColor::colorWithWhite(0, 1));
    b0p()->addSubview(b0_);
    addConstraintsFull(b0_, b0p(), 0, kTitleBarHeight, 0, 0);
    btnFlipH_ = makeButton(kGlyphFlipH, kButtonOffsets[0], &PopAdjTransformView::onFlipHorizontal);
    btnFlipV_ = makeButton(kGlyphFlipV, kButtonOffsets[1], &PopAdjTransformView::onFlipVertical);
    btnRotateL_ = makeButton(kGlyphRotateL, kButtonOffsets[2], &PopAdjTransformView::onRotateLeft);
    btnRotateR_ = makeButton(kGlyphRotateR, kButtonOffsets[3], &PopAdjTransformView::onRotateRight);
}

std::shared_ptr<IconButton> PopAdjTransformView::makeButton(std::uint16_t glyph, CGFloat dx,
                                                            void (PopAdjTransformView::*action)()) {
    auto button = IconButton::buttonWithType(UIButtonType::System);
    button->addAwesomeIcon(glyph, false);
    std::weak_ptr<PopAdjTransformView> weak = self<PopAdjTransformView>();
    button->addAction(
        [weak, action](UIControl&) {
            if (auto s = weak.lock()) ((*s).*action)();
        },
        UIControlEventTouchUpInside);
    b0_->addSubview(button);
    addConstraintsCenter(button, b0_, dx, 0, kPopupButtonSide, kPopupButtonSide);
    return button;
}

void PopAdjTransformView::show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion) {
    value_ = record;
    showForRecord(sender, record, std::move(completion));
}

CGAffineTransform PopAdjTransformView::transformOf(const Value& record, const char* key) {
    if (adjRecordCount(record, key) < kTransformCount) return {0, 0, 0, 0, 0, 0};
    const auto n = adjRecordFloats(record, key, kTransformCount);
    return {n[0], n[1], n[2], n[3], n[4], n[5]};
}

CGAffineTransform PopAdjTransformView::getCurrentTransform() const {
    return transformOf(value_, "value");
}

void PopAdjTransformView::updateTransform(const CGAffineTransform& t) {
    FilterElement::setAttrValueTransform(value_, t);
    reportChange(value_);
}

void PopAdjTransformView::onFlipHorizontal() {
    updateTransform(CGAffineTransformConcat(getCurrentTransform(), {-1, 0, 0, 1, 0, 0}));
}

void PopAdjTransformView::onFlipVertical() {
    updateTransform(CGAffineTransformConcat(getCurrentTransform(), {1, 0, 0, -1, 0, 0}));
}

void PopAdjTransformView::onRotateLeft() {
    updateTransform(CGAffineTransformRotate(getCurrentTransform(), std::numbers::pi / 2));
}

void PopAdjTransformView::onRotateRight() {
    updateTransform(CGAffineTransformRotate(getCurrentTransform(), -std::numbers::pi / 2));
}

void PopAdjTransformView::onRightButton(IconButton&) {
    updateTransform(transformOf(value_, "def"));
}
