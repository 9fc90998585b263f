// Section header and footer view.
#include "platform/ui/table/ui_table_view_header_footer_view.h"

void UITableViewHeaderFooterView::init() {
    UIView::init();
    setBackgroundColor(UIColor::colorWithLight(UIColor::colorWithWhite(0.95, 1), UIColor::blackColor()));
    contentView_ = UIView::make(bounds());
    addSubview(contentView_);
    textLabel_ = UILabel::make();
    textLabel_->setFont(UIFont::systemFontOfSize(13));
    textLabel_->setTextColor(UIColor::systemGrayColor());
    textLabel_->setNumberOfLines(0);
    contentView_->addSubview(textLabel_);
}

void UITableViewHeaderFooterView::layoutSubviews() {
    UIView::layoutSubviews();
    contentView_->setFrame(bounds());
    CGRect b = bounds();
    textLabel_->setFrame(
        CGRectMake(15, 4, std::max<CGFloat>(0, b.size.width - 30), std::max<CGFloat>(0, b.size.height - 8)));
}
