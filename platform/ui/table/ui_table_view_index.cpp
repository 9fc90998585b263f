// The section index strip.
#include "platform/ui/table/ui_table_view_index.h"

#include <algorithm>

#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_touch.h"
#include "platform/ui/text/ui_font.h"

void UITableViewIndex::setTitles(std::vector<std::string> titles) {
    if (titles == titles_) return;
    titles_ = std::move(titles);
    for (auto label : std::vector<std::shared_ptr<UIView>>(subviews())) label->removeFromSuperview();
    for (const std::string& title : titles_) {
        auto label = UILabel::make();
        label->setText(title);
        label->setFont(UIFont::boldSystemFontOfSize(kFontSize));
        label->setTextColor(UIColor::systemBlueColor());
        label->setTextAlignment(NSTextAlignment::Center);
        addSubview(label);
    }
    setNeedsLayout();
}

CGFloat UITableViewIndex::stripTop() const {
    // The titles sit as a block in the middle of the strip.
    CGFloat block = kTitleHeight * CGFloat(titles_.size());
    return std::max<CGFloat>(0, (bounds().size.height - block) / 2);
}

void UITableViewIndex::layoutSubviews() {
    UIView::layoutSubviews();
    CGFloat top = stripTop();
    auto labels = subviews();
    for (std::size_t i = 0; i < labels.size(); ++i) {
        labels[i]->setFrame(CGRectMake(0, top + kTitleHeight * CGFloat(i), bounds().size.width, kTitleHeight));
    }
}

std::size_t UITableViewIndex::indexAtPoint(CGPoint p) const {
    if (titles_.empty()) return 0;
    CGFloat offset = (p.y - stripTop()) / kTitleHeight;
    if (offset < 0) return 0;
    return std::min(titles_.size() - 1, std::size_t(offset));
}

void UITableViewIndex::track(const UITouchSet& touches) {
    if (titles_.empty() || touches.empty()) return;
    std::size_t index = indexAtPoint(touches.front()->locationInView(self<UIView>()));
    if (current_ == index) return;
    current_ = index;
    if (onSelect) onSelect(index);
}

void UITableViewIndex::touchesBegan(const UITouchSet& touches, const UIEvent&) {
    current_.reset();
    track(touches);
}

void UITableViewIndex::touchesMoved(const UITouchSet& touches, const UIEvent&) {
    track(touches);
}
void UITableViewIndex::touchesEnded(const UITouchSet&, const UIEvent&) {
    current_.reset();
}
void UITableViewIndex::touchesCancelled(const UITouchSet&, const UIEvent&) {
    current_.reset();
}
