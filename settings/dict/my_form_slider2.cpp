// Slider row of the settings form.
#include "settings/dict/my_form_slider2.h"

#include "foundation/global.h"
#include "platform/ui/layout/layout_constraint.h"
#include "settings/form/form_row_margin.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_identified.h"
#include "ui/theme/font.h"

namespace {
constexpr CGFloat kLabelWidth = 110;
constexpr CGFloat kControlHeight = 30;

// Takes back what the layout recipes installed for the view (its size and its ties to the holder).
void unplace(UIView& holder, UIView& view) {
    std::vector<std::shared_ptr<NSLayoutConstraint>> ties;
    for (const auto& c : holder.constraints())
        if (c->firstItem().get() == &view || c->secondItem().get() == &view) ties.push_back(c);
    holder.removeConstraints(ties);
    removeMyConstraints(view);
}
}  // namespace

std::shared_ptr<MyFormSlider2Item> MyFormSlider2Item::itemWithTitle(std::optional<std::string> title, float value,
                                                                    ChangeHandler handler) {
    auto item = make();
    item->title = std::move(title);
    item->value = value;
    item->valueChangeHandler = std::move(handler);
    return item;
}

void MyFormSlider2Cell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    label_ = UILabel::make();
    label_->setFont(Global::shared()->font()->textFixedNormal());
    contentView()->addSubview(label_);
    slider_ = UISlider::make();
    slider_->setMinimumValue(0);
    slider_->setMaximumValue(1);
    slider_->setContinuous(false);
    std::weak_ptr<MyFormSlider2Cell> weak = self<MyFormSlider2Cell>();
    slider_->addAction(
        [weak](UIControl&) {
            if (auto cell = weak.lock()) cell->onSlider();
        },
        UIControlEventValueChanged);
    contentView()->addSubview(slider_);
    place();
    updateView();
}

void MyFormSlider2Cell::place() {
    CGFloat m = formRowMargin(*sectionStyle());
    if (m == placedMargin_) return;
    placedMargin_ = m;
    unplace(*contentView(), *label_);
    unplace(*contentView(), *slider_);
    addConstraintsLC(label_, contentView(), m, 0, kLabelWidth, kControlHeight);
    addConstraintsLRC(slider_, contentView(), 2 * m + kLabelWidth, -m, 0, kControlHeight);
}

void MyFormSlider2Cell::cellWillAppear() {
    // The cell loads before it knows its section.
    place();
    updateView();
}

void MyFormSlider2Cell::updateView() {
    auto item = sliderItem();
    if (!item || !label_) return;
    label_->setText(item->title);
    slider_->setValue(item->value);
}

void MyFormSlider2Cell::onSlider() {
    auto item = sliderItem();
    if (!item) return;
    auto keep = self<MyFormSlider2Cell>();
    item->value = slider_->value();
    if (item->valueChangeHandler) item->valueChangeHandler(*item);
    updateView();
}
