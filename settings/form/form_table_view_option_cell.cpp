// The choice row.
#include "settings/form/form_table_view_option_cell.h"

#include "settings/form/form_string_measure.h"
#include "settings/form/form_table_view_manager.h"

namespace {
constexpr CGFloat kValueFontSize = 17;
// Extra room after the value text, so that it is never cut short.
constexpr CGFloat kValueSlack = 10;
}  // namespace

void FormTableViewOptionCell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    setAccessoryType(UITableViewCellAccessoryType::DisclosureIndicator);
    valueLabel_ = UILabel::make();
    valueLabel_->setFrame(CGRectZero);
    valueLabel_->setFont(UIFont::systemFontOfSize(kValueFontSize));
    valueLabel_->setBackgroundColor(UIColor::clearColor());
    valueLabel_->setTextColor(detailTextLabel()->textColor());
    valueLabel_->setHighlightedTextColor(UIColor::whiteColor());
    valueLabel_->setTextAlignment(NSTextAlignment::Right);
    contentView()->addSubview(valueLabel_);
}

void FormTableViewOptionCell::cellWillAppear() {
    auto object = formItemObject(item());
    if (!object) return;
    setAccessoryType(object->accessoryType);
    textLabel()->setBackgroundColor(UIColor::clearColor());
    showTitle(object->title);
    detailTextLabel()->setText(std::string());
    valueLabel_->setText(object->detailLabelText);
    // Set on every refresh, so that a reused cell never keeps a previous item's alignment.
    valueLabel_->setTextAlignment(object->title ? NSTextAlignment::Right : NSTextAlignment::Left);
    setEnabled(object->enabled());
}

void FormTableViewOptionCell::layoutSubviews() {
    FormTableViewCell::layoutSubviews();
    CGFloat textWidth = form_sizeWithFont(valueLabel_->text().value_or(""), valueLabel_->font()).width;
    layoutDetailView(*valueLabel_, textWidth);
    CGRect f = valueLabel_->frame();
    f.size.width += kValueSlack;
    valueLabel_->setFrame(f);
    notifyWillLayoutSubviews();
}

void FormTableViewOptionCell::setEnabled(bool e) {
    FormTableViewCell::setEnabled(e);
    setUserInteractionEnabled(e);
    textLabel()->setEnabled(e);
    valueLabel_->setEnabled(e);
}
