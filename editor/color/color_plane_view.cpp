#include "editor/color/color_plane_view.h"

#include <algorithm>
#include <cstdio>

#include "editor/color/color_values.h"
#include "editor/color/pop_adj_color_view.h"
#include "foundation/numeric.h"
#include "platform/ui/control/ui_control.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/color_custom.h"

void ColorPlaneView::init() {
    UIView::init();
    setBackgroundColor(UIColor::redColor());
    controls_ = UIView::make();
    addSubview(controls_);
    addConstraintsFull(controls_, self<UIView>(), 0, 0, 0, 0);
}

CGSize ColorPlaneView::pitchFor(long rows, long cols) {
    if (rows < 1 || cols < 1) return {0, 0};
    return {static_cast<CGFloat>(kSpan / rows), static_cast<CGFloat>(kSpan / cols)};
}

CGRect ColorPlaneView::cellGeometry(long rows, long cols, long row, long col) {
    const CGSize pitch = pitchFor(rows, cols);
    const CGFloat dx = (static_cast<CGFloat>(col) + 0.5 - static_cast<CGFloat>(cols) / 2) * pitch.width;
    const CGFloat dy = static_cast<CGFloat>(rows) * pitch.height / 2 - (static_cast<CGFloat>(row) + 0.5) * pitch.height;
    return {
        {dx, dy},
        {minFloat(static_cast<float>(pitch.width), kMaxCell), minFloat(static_cast<float>(pitch.height), kMaxCell)}};
}

void ColorPlaneView::update() {
    for (const auto& b : buttons_) b->removeFromSuperview();
    buttons_.clear();
    setBackgroundColor(UIColor::colorWithWhite(1, 0.5));
    auto d = delegate();
    rows_ = d ? d->onColorPlaneViewGetRowCount(*this) : 0;
    cols_ = d ? d->onColorPlaneViewGetColCount(*this) : 0;
    if (rows_ < 1 || cols_ < 1) return;
    buttons_.reserve(static_cast<std::size_t>(rows_ * cols_));
    std::weak_ptr<ColorPlaneView> weak = self<ColorPlaneView>();
    for (long r = 0; r < rows_; ++r) {
        for (long q = 0; q < cols_; ++q) {
            auto cell = UIControl::make();
            auto color = d->onColorPlaneViewGetColor(*this, r, q);
            if (!color) color = UIColor::blackColor();
            cell->setBackgroundColor(color);
            cell->setTintColor(invert(*color));
            assignRound(*cell, kCellRadius);
            cell->setTag(r * cols_ + q);
            cell->addAction(
                [weak](UIControl& c) {
                    if (auto s = weak.lock()) s->onButton(c);
                },
                UIControlEventTouchUpInside);
            controls_->addSubview(cell);
            buttons_.push_back(cell);
        }
    }
    setNeedsLayout();
}

void ColorPlaneView::layoutSubviews() {
    UIView::layoutSubviews();
    const CGRect b = bounds();
    const CGPoint mid{CGRectGetMidX(b), CGRectGetMidY(b)};
    for (const auto& cell : buttons_) {
        const long r = cell->tag() / cols_;
        const long q = cell->tag() % cols_;
        const CGRect g = cellGeometry(rows_, cols_, r, q);
        cell->setFrame({{mid.x + g.origin.x - g.size.width / 2, mid.y + g.origin.y - g.size.height / 2}, g.size});
    }
}

void ColorPlaneView::scheduledLayout() {
    if (popColor_) popColor_->scheduledLayout();
}

void ColorPlaneView::onButton(UIControl& cell) {
    const long cols = cols_;
    const long row = cols > 0 ? cell.tag() / cols : 0;
    const long col = cols > 0 ? cell.tag() % cols : 0;
    char disp[64];
    std::snprintf(disp, sizeof disp, "Color - %ld,%ld", row, col);
    auto color = cell.backgroundColor() ? cell.backgroundColor() : UIColor::blackColor();
    // A cell is a colour: the editor stores it as opaque as soon as it opens.
    cursor_ = Value::dictionary({{"type", Value("CIColor")},
                                 {"disp", Value(disp)},
                                 {"value", numbersOfColor(*color)},
                                 {"row", Value(row)},
                                 {"col", Value(col)}});
    if (!popColor_) {
        popColor_ = PopAdjColorView::make(vc_.lock());
        popColor_->setShowAboveIfBothAvailable(true);
        popColor_->setDelegate(std::dynamic_pointer_cast<PopAdjGeneralBaseDelegate>(shared_from_this()));
    }
    popColor_->show(cell.shared_from_this(), cursor_, [] {});
}

void ColorPlaneView::onPopAdjGeneralBaseValueChanged(PopAdjGeneralBase&, const Value& record) {
    const long row = record["row"].integerValue();
    const long col = record["col"].integerValue();
    const long index = col + row * cols_;
    if (index < 0 || static_cast<std::size_t>(index) >= buttons_.size()) return;
    auto color = colorOfNumbers(record["value"]);
    if (!color) return;
    buttons_[static_cast<std::size_t>(index)]->setBackgroundColor(color);
    buttons_[static_cast<std::size_t>(index)]->setTintColor(invert(*color));
    if (auto d = delegate()) d->onColorPlaneViewValueChanged(*this, row, col, color);
}
