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

void StandInPanelView::touchesEnded(const UITouchSet& touches, const UIEvent&) {
    if (touches.empty() || !onButton_) return;
    long i = buttonAtPoint(touches.front()->locationInView(self<UIView>()));
    if (i >= 0) onButton_(static_cast<std::size_t>(i));
}

void StandInPanelView::drawRect(CGRect) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    ctx->setFillColorWithColor(UIColor::colorWithWhite(0.97, 1)->cgColor());
    UIRectFill(b);
    for (std::size_t i = 0; i < buttons_.size(); ++i)
        drawLabel(buttons_[i], buttonRect(i), UIFont::systemFontOfSize(17), tintColor(), LabelAlignment::Center);
    CGFloat y = 60 + safeAreaInsets().top;
    drawLabel(title_, CGRectMake(16, y, b.size.width - 32, 28), UIFont::boldSystemFontOfSize(20), UIColor::labelColor(),
              LabelAlignment::Left);
    y += 36;
    for (const auto& line : lines_) {
        drawLabel(line, CGRectMake(16, y, b.size.width - 32, 22), UIFont::systemFontOfSize(15), UIColor::labelColor(),
                  LabelAlignment::Left);
        y += 24;
    }
}
