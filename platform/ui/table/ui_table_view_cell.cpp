// Table cell: subviews per style, layout of image, labels and accessory, selection look.
#include "platform/ui/table/ui_table_view_cell.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/bar/label_drawing.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/path.h"

UITableViewCell::UITableViewCell(UITableViewCellStyle style, std::string reuseIdentifier)
    : UIView(CGRectMake(0, 0, 320, 44)), reuseIdentifier_(std::move(reuseIdentifier)), style_(style) {}

namespace {
constexpr CGFloat kAccessoryWidth = 20;
constexpr CGFloat kConfirmationPadding = 15;
constexpr CGFloat kEditingControlRadius = 11;
}  // namespace

void UITableViewCell::init() {
    UIView::init();
    // White rows, dark grey in the dark appearance.
    setBackgroundColor(UIColor::colorWithLight(UIColor::whiteColor(), UIColor::colorWithWhite(0.11, 1)));
    contentView_ = UIView::make(bounds());
    contentView_->setBackgroundColor(UIColor::clearColor());
    addSubview(contentView_);
    imageView_ = UIImageView::make(nullptr);
    contentView_->addSubview(imageView_);
    textLabel_ = UILabel::make();
    textLabel_->setFont(UIFont::systemFontOfSize(17));
    contentView_->addSubview(textLabel_);
    if (style_ != UITableViewCellStyle::Default) (void)detailTextLabel();
}

std::shared_ptr<UILabel> UITableViewCell::detailTextLabel() {
    if (!detailTextLabel_) {
        detailTextLabel_ = UILabel::make();
        bool subtitle = style_ == UITableViewCellStyle::Subtitle;
        detailTextLabel_->setFont(UIFont::systemFontOfSize(subtitle ? 12 : 17));
        detailTextLabel_->setTextColor(subtitle ? UIColor::labelColor() : UIColor::systemGrayColor());
        if (style_ == UITableViewCellStyle::Value1) detailTextLabel_->setTextAlignment(NSTextAlignment::Right);
        contentView_->addSubview(detailTextLabel_);
        setNeedsLayout();
    }
    return detailTextLabel_;
}

void UITableViewCell::setAccessoryView(std::shared_ptr<UIView> v) {
    if (accessoryView_) accessoryView_->removeFromSuperview();
    accessoryView_ = std::move(v);
    if (accessoryView_) addSubview(accessoryView_);
    setNeedsLayout();
}

void UITableViewCell::setBackgroundView(std::shared_ptr<UIView> v) {
    if (backgroundView_) backgroundView_->removeFromSuperview();
    backgroundView_ = std::move(v);
    if (backgroundView_) insertSubviewAtIndex(backgroundView_, 0);
    setNeedsLayout();
}

void UITableViewCell::setSelectedBackgroundView(std::shared_ptr<UIView> v) {
    if (selectedBackgroundView_) selectedBackgroundView_->removeFromSuperview();
    selectedBackgroundView_ = std::move(v);
    updateSelectionLook();
}

void UITableViewCell::updateSelectionLook() {
    bool on = (selected_ || highlighted_) && selectionStyle_ != UITableViewCellSelectionStyle::None;
    if (selectedBackgroundView_) {
        if (on && !selectedBackgroundView_->superview())
            insertSubviewAtIndex(selectedBackgroundView_, backgroundView_ ? 1 : 0);
        if (!on) selectedBackgroundView_->removeFromSuperview();
    }
    textLabel_->setHighlighted(on);
    if (detailTextLabel_) detailTextLabel_->setHighlighted(on);
    setNeedsLayout();
    setNeedsDisplay();
}

void UITableViewCell::setSelected(bool selected, bool) {
    selected_ = selected;
    updateSelectionLook();
}

void UITableViewCell::setHighlighted(bool highlighted, bool) {
    highlighted_ = highlighted;
    updateSelectionLook();
}

void UITableViewCell::setEditing(bool editing, bool) {
    editing_ = editing;
    setNeedsLayout();
}

void UITableViewCell::setEditingControls(UITableViewCellEditingStyle style, bool reorder) {
    controlStyle_ = style;
    reorder_ = reorder;
    if (style != UITableViewCellEditingStyle::Delete) confirmation_.reset();
    setNeedsLayout();
    setNeedsDisplay();
}

void UITableViewCell::showDeleteConfirmation(std::optional<std::string> title) {
    confirmation_ = std::move(title);
    setNeedsLayout();
    setNeedsDisplay();
}

CGRect UITableViewCell::deleteConfirmationRect() const {
    if (!confirmation_) return CGRectZero;
    CGFloat w = std::ceil(labelSize(*confirmation_, UIFont::systemFontOfSize(17)).width) + 2 * kConfirmationPadding;
    return CGRectMake(bounds().size.width - w, 0, w, bounds().size.height);
}

void UITableViewCell::prepareForReuse() {
    selected_ = highlighted_ = editing_ = false;
    controlStyle_ = UITableViewCellEditingStyle::None;
    reorder_ = false;
    confirmation_.reset();
    updateSelectionLook();
}

void UITableViewCell::layoutSubviews() {
    UIView::layoutSubviews();
    CGRect b = bounds();
    CGFloat right = b.size.width;
    if (accessoryView_) {
        CGSize s = accessoryView_->frame().size;
        right -= s.width + 15;
        accessoryView_->setFrame(CGRectMake(right, (b.size.height - s.height) / 2, s.width, s.height));
    } else if (accessoryType_ != UITableViewCellAccessoryType::None) {
        right -= kAccessoryWidth + 15;
    }
    CGFloat left = editing_ ? kEditingControlWidth : 0;
    if (editing_ && reorder_) right = std::min(right, b.size.width - kReorderControlWidth);
    // The confirmation button takes the trailing edge from the content.
    if (confirmation_) right = std::min(right, b.size.width - deleteConfirmationRect().size.width);
    contentView_->setFrame(CGRectMake(left, 0, std::max<CGFloat>(0, right - left), b.size.height));
    if (backgroundView_) backgroundView_->setFrame(b);
    if (selectedBackgroundView_) selectedBackgroundView_->setFrame(b);

    CGRect c = contentView_->bounds();
    CGFloat x = 15 + indentationLevel_ * 10;
    if (auto image = imageView_->image()) {
        CGSize s = image->size();
        CGFloat h = std::min(s.height, c.size.height);
        imageView_->setFrame(CGRectMake(x, (c.size.height - h) / 2, s.width * (s.height > 0 ? h / s.height : 1), h));
        x = CGRectGetMaxX(imageView_->frame()) + 15;
    } else {
        imageView_->setFrame(CGRectZero);
    }
    CGFloat w = std::max<CGFloat>(0, c.size.width - x - 15);
    bool hasDetail = detailTextLabel_ && detailTextLabel_->text() && !detailTextLabel_->text()->empty();
    switch (style_) {
        case UITableViewCellStyle::Subtitle:
            if (hasDetail) {
                textLabel_->setFrame(CGRectMake(x, c.size.height / 2 - 21, w, 21));
                detailTextLabel_->setFrame(CGRectMake(x, c.size.height / 2, w, 16));
                break;
            }
            textLabel_->setFrame(CGRectMake(x, 0, w, c.size.height));
            break;
        case UITableViewCellStyle::Value1: {
            CGFloat dw = hasDetail ? std::min<CGFloat>(
                                         w / 2, std::ceil(detailTextLabel_->sizeThatFits({w, c.size.height}).width))
                                   : 0;
            textLabel_->setFrame(CGRectMake(x, 0, w - dw - (dw > 0 ? 8 : 0), c.size.height));
            if (detailTextLabel_) detailTextLabel_->setFrame(CGRectMake(x + w - dw, 0, dw, c.size.height));
            break;
        }
        case UITableViewCellStyle::Value2:
            textLabel_->setFrame(CGRectMake(x, 0, 91, c.size.height));
            if (detailTextLabel_)
                detailTextLabel_->setFrame(CGRectMake(x + 97, 0, std::max<CGFloat>(0, w - 97), c.size.height));
            break;
        default:
            textLabel_->setFrame(CGRectMake(x, 0, w, c.size.height));
            if (detailTextLabel_) detailTextLabel_->setFrame(CGRectZero);
    }
}

CGFloat UITableViewCell::heightFittingWidth(CGFloat width, CGFloat minimum) {
    setFrame(CGRectMake(0, 0, width, minimum));
    layoutSubviews();
    if (style_ != UITableViewCellStyle::Value1) return minimum;
    CGFloat needed = 0;
    for (const auto& label : {textLabel_, detailTextLabel_}) {
        if (!label || label->frame().size.width <= 0) continue;
        needed = std::max(needed, label->sizeThatFits({label->frame().size.width, 0}).height);
    }
    CGFloat height = std::max(minimum, std::ceil(needed + 2 * kFittingMargin));
    if (height != minimum) {
        setFrame(CGRectMake(0, 0, width, height));
        layoutSubviews();
    }
    return height;
}

void UITableViewCell::drawEditingControls(CGRect b) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    CGFloat mid = b.size.height / 2;
    if (controlStyle_ != UITableViewCellEditingStyle::None && !confirmation_) {
        bool remove = controlStyle_ == UITableViewCellEditingStyle::Delete;
        CGFloat cx = kEditingControlWidth / 2 + 4, r = kEditingControlRadius;
        auto fill = remove ? UIColor::systemRedColor() : UIColor::systemGreenColor();
        CGPath circle;
        circle.addEllipseInRect(CGRectMake(cx - r, mid - r, 2 * r, 2 * r));
        ctx->setFillColorWithColor(fill->cgColor());
        ctx->addPath(circle);
        ctx->fillPath();
        ctx->setFillColorWithColor(UIColor::whiteColor()->cgColor());
        UIRectFill(CGRectMake(cx - 6, mid - 1, 12, 2));
        if (!remove) UIRectFill(CGRectMake(cx - 1, mid - 6, 2, 12));
    }
    if (reorder_) {
        ctx->setFillColorWithColor(UIColor::systemGrayColor()->cgColor());
        CGFloat x = b.size.width - kReorderControlWidth / 2 - 9;
        for (int i = -1; i <= 1; ++i) UIRectFill(CGRectMake(x, mid + i * 5 - 0.75, 18, 1.5));
    }
    if (confirmation_) {
        CGRect r = deleteConfirmationRect();
        ctx->setFillColorWithColor(UIColor::systemRedColor()->cgColor());
        UIRectFill(r);
        drawLabel(*confirmation_, r, UIFont::systemFontOfSize(17), UIColor::whiteColor(), LabelAlignment::Center);
    }
}

void UITableViewCell::drawRect(CGRect) {
    CGContext* ctx = UIGraphicsGetCurrentContext();
    if (!ctx) return;
    CGRect b = bounds();
    bool on = (selected_ || highlighted_) && selectionStyle_ != UITableViewCellSelectionStyle::None &&
              !selectedBackgroundView_;
    auto fill = on ? UIColor::colorWithWhite(0.85, 1) : backgroundColor();
    if (fill) {
        ctx->setFillColorWithColor(fill->cgColor());
        UIRectFill(b);
    }
    if (separatorVisible_) {
        ctx->setFillColorWithColor((separatorColor_ ? separatorColor_ : UIColor::separatorColor())->cgColor());
        UIRectFill(CGRectMake(separatorInset_.left, b.size.height - 0.5,
                              std::max<CGFloat>(0, b.size.width - separatorInset_.left - separatorInset_.right), 0.5));
    }
    if (editing_) drawEditingControls(b);
    auto tint = tintColor();
    CGRect acc = CGRectMake(b.size.width - kAccessoryWidth - 15, 0, kAccessoryWidth, b.size.height);
    switch (accessoryType_) {
        case UITableViewCellAccessoryType::DisclosureIndicator:
            drawMark("\u203A", acc, UIFont::systemFontOfSize(24), UIColor::systemGray2Color(), LabelAlignment::Right);
            break;
        case UITableViewCellAccessoryType::Checkmark:
            drawMark("\u2713", acc, UIFont::boldSystemFontOfSize(17), tint, LabelAlignment::Right);
            break;
        case UITableViewCellAccessoryType::DetailButton:
        case UITableViewCellAccessoryType::DetailDisclosureButton:
            drawMark("\u24D8", acc, UIFont::systemFontOfSize(20), tint, LabelAlignment::Right);
            break;
        default: break;
    }
}
