// The side menu's cells: their views by tag and their layout.
#include "settings/left/left_cells.h"

#include <algorithm>

#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_switch.h"
#include "platform/ui/table/ui_table_view.h"

namespace {
constexpr CGFloat kMinimumTextScale = 0.5;

// Row texts keep to their lines: one, or as many as the text breaks into by itself. A text too
// wide for the narrow menu shrinks rather than wrapping out of the row or losing its end.
std::shared_ptr<UILabel> taggedLabel(UIView& parent, long tag) {
    auto label = UILabel::make();
    label->setTag(tag);
    label->setAdjustsFontSizeToFitWidth(true);
    label->setMinimumScaleFactor(kMinimumTextScale);
    parent.addSubview(label);
    return label;
}
}  // namespace

void LeftCell::setRowText(UILabel& label, const std::string& text) {
    label.setNumberOfLines(1 + long(std::count(text.begin(), text.end(), '\n')));
    label.setText(text);
}

void LeftCell::init() {
    UITableViewCell::init();
    textLabel()->setHidden(true);
    auto content = contentView();
    const std::string& kind = reuseIdentifier();
    if (kind == kApp) {
        auto icon = UIImageView::make();
        icon->setTag(kIconTag);
        icon->setClipsToBounds(true);
        icon->setContentMode(UIViewContentMode::ScaleAspectFill);
        content->addSubview(icon);
        taggedLabel(*content, kAppTitleTag);
        return;
    }
    taggedLabel(*content, kTitleTag);
    if (kind == kValue) {
        auto detail = taggedLabel(*content, kDetailTag);
        detail->setTextAlignment(NSTextAlignment::Right);
        detail->setTextColor(UIColor::secondaryLabelColor());
    } else if (kind == kSwitch) {
        auto toggle = UISwitch::make();
        toggle->setTag(kSwitchTag);
        std::weak_ptr<LeftCell> weak = self<LeftCell>();
        toggle->addAction(
            [weak](UIControl& sender) {
                auto me = weak.lock();
                if (me && me->onSwitch_) me->onSwitch_(static_cast<UISwitch&>(sender));
            },
            UIControlEventValueChanged);
        content->addSubview(toggle);
    }
}

void LeftCell::layoutSubviews() {
    UITableViewCell::layoutSubviews();
    auto content = contentView();
    const CGRect bounds = content->bounds();
    const CGFloat height = bounds.size.height;
    CGFloat right = bounds.size.width - kSideMargin;
    const std::string& kind = reuseIdentifier();
    if (kind == kApp) {
        CGFloat iconTop = std::floor((height - kIconSize) / 2);
        if (auto icon = content->viewWithTag(kIconTag))
            icon->setFrame(CGRectMake(kSideMargin, iconTop, kIconSize, kIconSize));
        CGFloat left = kSideMargin + kIconSize + kIconGap;
        if (auto title = content->viewWithTag(kAppTitleTag)) title->setFrame(CGRectMake(left, 0, right - left, height));
        return;
    }
    if (kind == kSwitch) {
        if (auto toggle = content->viewWithTag(kSwitchTag)) {
            CGSize size = toggle->sizeThatFits(bounds.size);
            right -= size.width;
            toggle->setFrame(CGRectMake(right, std::floor((height - size.height) / 2), size.width, size.height));
            right -= kIconGap;
        }
    } else if (kind == kValue) {
        if (auto detail = content->viewWithTag(kDetailTag)) {
            detail->setFrame(CGRectMake(right - kDetailWidth, 0, kDetailWidth, height));
            right -= kDetailWidth + kIconGap;
        }
    }
    if (auto title = content->viewWithTag(kTitleTag))
        title->setFrame(CGRectMake(kSideMargin, 0, right - kSideMargin, height));
}

void LeftCell::prepareForReuse() {
    UITableViewCell::prepareForReuse();
    iconAddress_.clear();
    if (reuseIdentifier() == kApp)
        if (auto icon = std::dynamic_pointer_cast<UIImageView>(contentView()->viewWithTag(kIconTag)))
            icon->setImage(nullptr);
}

void registerLeftCells(UITableView& table) {
    for (const char* kind : {LeftCell::kBasic, LeftCell::kValue, LeftCell::kSwitch, LeftCell::kApp})
        table.registerCell(kind, [](const std::string& identifier) {
            return std::static_pointer_cast<UITableViewCell>(LeftCell::make(UITableViewCellStyle::Default, identifier));
        });
}
