// Picker: component bookkeeping, taps that move a column by rows, drawing of the wheels.
#include "platform/ui/input/ui_picker_view.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/draw/graphics.h"

void UIPickerView::init() {
    UIView::init();
    if (frame().size.height == 0) setFrame(CGRect{frame().origin, {frame().size.width, kHeight}});
    setBackgroundColor(UIColor::systemBackgroundColor());
}

std::size_t UIPickerView::numberOfRowsInComponent(std::size_t c) const {
    return c < rows_.size() ? rows_[c] : 0;
}

long UIPickerView::selectedRowInComponent(std::size_t c) const {
    if (c >= rows_.size() || rows_[c] == 0) return -1;
    return static_cast<long>(selected_[c]);
}

void UIPickerView::selectRow(std::size_t row, std::size_t c, bool) {
    if (c >= rows_.size() || rows_[c] == 0) return;
    selected_[c] = std::min(row, rows_[c] - 1);
    setNeedsDisplay();
}

void UIPickerView::reloadAllComponents() {
    auto ds = dataSource();
    std::size_t n = ds ? ds->numberOfComponentsInPickerView(*this) : 0;
    rows_.assign(n, 0);
    selected_.resize(n, 0);
    for (std::size_t c = 0; c < n; ++c) reloadComponent(c);
    setNeedsDisplay();
}

void UIPickerView::reloadComponent(std::size_t c) {
    auto ds = dataSource();
    if (!ds || c >= rows_.size()) return;
    rows_[c] = ds->numberOfRowsInComponent(*this, c);
    // The selection stays where it was when it still exists.
    selected_[c] = rows_[c] == 0 ? 0 : std::min(selected_[c], rows_[c] - 1);
    setNeedsDisplay();
}

bool UIPickerView::spinToRow(std::size_t row, std::size_t c) {
    if (c >= rows_.size() || rows_[c] == 0) return false;
    row = std::min(row, rows_[c] - 1);
    selected_[c] = row;
    setNeedsDisplay();
    if (auto d = delegate()) d->didSelectRow(*this, row, c);
    return true;
}

CGFloat UIPickerView::rowHeight(std::size_t c) const {
    auto d = delegate();
    CGFloat h = d ? d->rowHeightForComponent(*const_cast<UIPickerView*>(this), c) : 32;
    return h > 0 ? h : 32;
}

std::vector<CGRect> UIPickerView::columns() const {
    std::vector<CGRect> out;
    if (rows_.empty()) return out;
    CGRect b = bounds();
    auto d = delegate();
    std::vector<CGFloat> widths;
    CGFloat fixed = 0;
    int flexible = 0;
    for (std::size_t c = 0; c < rows_.size(); ++c) {
        CGFloat w = d ? d->widthForComponent(*const_cast<UIPickerView*>(this), c) : 0;
        widths.push_back(w);
        if (w > 0)
            fixed += w;
        else
            ++flexible;
    }
    CGFloat share = flexible ? std::max<CGFloat>(0, (b.size.width - fixed) / flexible) : 0;
    CGFloat x = flexible ? 0 : std::max<CGFloat>(0, (b.size.width - fixed) / 2);
    for (CGFloat w : widths) {
        CGFloat width = w > 0 ? w : share;
        out.push_back(CGRectMake(x, 0, width, b.size.height));
        x += width;
    }
    return out;
}

long UIPickerView::componentAtX(CGFloat x) const {
    auto cols = columns();
    for (std::size_t c = 0; c < cols.size(); ++c)
        if (x >= CGRectGetMinX(cols[c]) && x < CGRectGetMaxX(cols[c])) return static_cast<long>(c);
    return -1;
}

void UIPickerView::touchesEnded(const UITouchSet& touches, const UIEvent&) {
    if (touches.empty()) return;
    CGPoint p = touches.front()->locationInView(self<UIView>());
    long c = componentAtX(p.x);
    if (c < 0 || rows_[c] == 0) return;
    long delta = std::lround((p.y - bounds().size.height / 2) / rowHeight(c));
    long row = std::clamp<long>(static_cast<long>(selected_[c]) + delta, 0, static_cast<long>(rows_[c]) - 1);
    if (delta != 0) spinToRow(static_cast<std::size_t>(row), static_cast<std::size_t>(c));
}

void UIPickerView::drawRect(CGRect) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    auto d = delegate();
    auto cols = columns();
    CGFloat mid = b.size.height / 2;
    for (std::size_t c = 0; c < cols.size(); ++c) {
        CGFloat h = rowHeight(c);
        fillRoundedRect(CGRectMake(cols[c].origin.x + 2, mid - h / 2, cols[c].size.width - 4, h), 7,
                        UIColor::systemGray5Color());
        long visible = static_cast<long>(b.size.height / h / 2) + 1;
        for (long k = -visible; k <= visible; ++k) {
            long row = static_cast<long>(selected_[c]) + k;
            if (row < 0 || row >= static_cast<long>(rows_[c])) continue;
            std::string title = d ? d->titleForRow(*this, static_cast<std::size_t>(row), c) : std::to_string(row);
            CGFloat fade = 1 - std::min<CGFloat>(0.7, std::abs(static_cast<CGFloat>(k)) * 0.2);
            drawLabel(title, CGRectMake(cols[c].origin.x, mid - h / 2 + k * h, cols[c].size.width, h),
                      UIFont::systemFontOfSize(k == 0 ? 21 : 18), UIColor::labelColor()->colorWithAlphaComponent(fade),
                      LabelAlignment::Center);
        }
    }
}
