// Stand-in sheet panel: layout of the button row, taps and drawing.
#include "platform/ui/controller/stand_in_panel_view.h"

#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/draw/graphics.h"

CGRect StandInPanelView::buttonRect(std::size_t i) const {
    CGRect b = bounds();
    CGFloat w = buttons_.empty() ? 0 : (b.size.width - 16) / buttons_.size();
    return CGRectMake(8 + i * w, 8 + safeAreaInsets().top, w, 44);
}

long StandInPanelView::buttonAtPoint(CGPoint p) const {
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        if (CGRectContainsPoint(buttonRect(i), p)) return static_cast<long>(i);
    return -1;
}

namespace {
constexpr CGFloat kTitleTop = 60;
constexpr CGFloat kFirstLine = 96;
constexpr CGFloat kLineStep = 24;
constexpr CGFloat kChoiceStep = 44;
}  // namespace

CGRect StandInPanelView::lineRect(std::size_t i) const {
    CGFloat step = onLine_ ? kChoiceStep : kLineStep;
    return CGRectMake(16, kFirstLine + safeAreaInsets().top + i * step, bounds().size.width - 32, step - 2);
}

long StandInPanelView::lineAtPoint(CGPoint p) const {
    for (std::size_t i = 0; i < lines_.size(); ++i)
        if (CGRectContainsPoint(lineRect(i), p)) return static_cast<long>(i);
    return -1;
}

void StandInPanelView::touchesEnded(const UITouchSet& touches, const UIEvent&) {
    if (touches.empty()) return;
    CGPoint p = touches.front()->locationInView(self<UIView>());
    if (long i = buttonAtPoint(p); i >= 0 && onButton_) {
        onButton_(static_cast<std::size_t>(i));
    } else if (long line = lineAtPoint(p); line >= 0 && onLine_) {
        // Copied: the choice may replace the callback.
        auto call = onLine_;
        call(static_cast<std::size_t>(line));
    }
}

void StandInPanelView::drawRect(CGRect) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    ctx->setFillColorWithColor(UIColor::colorWithWhite(0.97, 1)->cgColor());
    UIRectFill(b);
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        drawLabel(buttons_[i], buttonRect(i), UIFont::systemFontOfSize(17), tintColor(), LabelAlignment::Center);
    drawLabel(title_, CGRectMake(16, kTitleTop + safeAreaInsets().top, b.size.width - 32, 28),
              UIFont::boldSystemFontOfSize(20), UIColor::labelColor(), LabelAlignment::Left);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        CGRect r = lineRect(i);
        if (onLine_) {
            // A choice: a white row, its text in the tint colour.
            ctx->setFillColorWithColor(UIColor::whiteColor()->cgColor());
            UIRectFill(r);
            drawLabel(lines_[i], CGRectInset(r, 12, 0), UIFont::systemFontOfSize(17), tintColor(),
                      LabelAlignment::Left);
        } else {
            drawLabel(lines_[i], r, UIFont::systemFontOfSize(15), UIColor::labelColor(), LabelAlignment::Left);
        }
    }
}
