// Switch, segmented and slider cells.
#include "settings/form/form_control_cells.h"

#include <algorithm>

#include "platform/runtime/weak_bind.h"
#include "settings/form/form_row_margin.h"

namespace {
// Gap between a narrowed title and the control, on top of the style's content margin.
constexpr CGFloat kTitleGap = 10;
constexpr CGFloat kSegmentedMinimumWidth = 140;
constexpr CGFloat kSliderHeight = 23;
constexpr CGFloat kSliderInitialWidth = 100;

std::shared_ptr<NSLayoutConstraint> centredVertically(const std::shared_ptr<UIView>& view,
                                                      const std::shared_ptr<UIView>& in) {
    return NSLayoutConstraint::constraintWithItem(view, NSLayoutAttribute::CenterY, NSLayoutRelation::Equal, in,
                                                  NSLayoutAttribute::CenterY, 1, 0);
}

// The title ends kTitleGap plus the content margin before the control.
void narrowTitle(UILabel& label, CGFloat controlWidth, CGFloat contentMargin) {
    CGRect f = label.frame();
    f.size.width = f.size.width - controlWidth - contentMargin - kTitleGap;
    label.setFrame(f);
    label.setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
}
}  // namespace

// ---- switch ----

void FormTableViewBoolCell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    switch_ = UISwitch::make();
    switch_->setTranslatesAutoresizingMaskIntoConstraints(false);
    switch_->addAction(weakBind(self<FormTableViewBoolCell>(), &FormTableViewBoolCell::switchValueDidChange),
                       UIControlEventValueChanged);
    contentView()->addSubview(switch_);
    contentView()->addConstraint(centredVertically(switch_, contentView()));
    trailing_ = NSLayoutConstraint::constraintsWithVisualFormat(
        "H:[switchView]-margin-|", 0, {{"margin", formRowMargin(*sectionStyle())}}, {{"switchView", switch_}});
    contentView()->addConstraints(trailing_);
}

void FormTableViewBoolCell::cellWillAppear() {
    auto item = boolItem();
    if (!item) return;
    textLabel()->setBackgroundColor(UIColor::clearColor());
    textLabel()->setText(item->title);
    // The cell loads before it knows its section; the margin follows the section it shows in.
    for (const auto& c : trailing_) c->setConstant(formRowMargin(*sectionStyle()));
    imageView()->setImage(item->image);
    imageView()->setHighlightedImage(item->highlightedImage);
    switch_->setOn(item->value);
    setEnabled(item->enabled());
}

void FormTableViewBoolCell::layoutSubviews() {
    FormTableViewCell::layoutSubviews();
    contentView()->layoutIfNeeded();
    CGRect label = textLabel()->frame();
    if (label.origin.x + label.size.width >= switch_->frame().origin.x)
        narrowTitle(*textLabel(), switch_->frame().size.width, sectionStyle()->contentViewMargin);
    textLabel()->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    notifyWillLayoutSubviews();
}

void FormTableViewBoolCell::setEnabled(bool e) {
    FormTableViewCell::setEnabled(e);
    setUserInteractionEnabled(e);
    textLabel()->setEnabled(e);
    if (switch_) switch_->setEnabled(e);
}

void FormTableViewBoolCell::switchValueDidChange() {
    auto item = boolItem();
    if (!item) return;
    item->value = switch_->isOn();
    if (item->switchValueChangeHandler) item->switchValueChangeHandler(*item);
}

// ---- segmented ----

void FormTableViewSegmentedCell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    auto item = segmentedItem();
    control_ = UISegmentedControl::withItems(item ? item->segmentedControlTitles : std::vector<std::string>{});
    control_->setTranslatesAutoresizingMaskIntoConstraints(false);
    control_->addAction(
        weakBind(self<FormTableViewSegmentedCell>(), &FormTableViewSegmentedCell::segmentValueDidChange),
        UIControlEventValueChanged);
    contentView()->addSubview(control_);
    contentView()->addConstraint(centredVertically(control_, contentView()));
}

void FormTableViewSegmentedCell::cellWillAppear() {
    auto item = segmentedItem();
    if (!item) return;
    textLabel()->setText(item->title);
    control_->removeAllSegments();
    if (!horizontal_.empty()) contentView()->removeConstraints(horizontal_);
    bool spans = !item->title || item->title->empty();
    horizontal_ = NSLayoutConstraint::constraintsWithVisualFormat(
        spans ? "H:|-margin-[_segmentedControl]-margin-|" : "H:[_segmentedControl(>=140)]-margin-|", 0,
        {{"margin", formRowMargin(*sectionStyle())}}, {{"_segmentedControl", control_}});
    contentView()->addConstraints(horizontal_);
    if (!item->segmentedControlTitles.empty()) {
        for (std::size_t i = 0; i < item->segmentedControlTitles.size(); ++i)
            control_->insertSegmentWithTitle(item->segmentedControlTitles[i], i, false);
    } else {
        for (std::size_t i = 0; i < item->segmentedControlImages.size(); ++i)
            control_->insertSegmentWithImage(item->segmentedControlImages[i], i, false);
    }
    control_->setTintColor(item->tintColor);
    control_->setSelectedSegmentIndex(item->value);
    setEnabled(item->enabled());
    control_->setNeedsDisplay();
}

void FormTableViewSegmentedCell::layoutSubviews() {
    FormTableViewCell::layoutSubviews();
    contentView()->layoutIfNeeded();
    narrowTitle(*textLabel(), control_->frame().size.width, sectionStyle()->contentViewMargin);
    notifyWillLayoutSubviews();
}

void FormTableViewSegmentedCell::setEnabled(bool e) {
    FormTableViewCell::setEnabled(e);
    setUserInteractionEnabled(e);
    textLabel()->setEnabled(e);
    if (control_) control_->setEnabled(e);
}

void FormTableViewSegmentedCell::segmentValueDidChange() {
    auto item = segmentedItem();
    if (!item) return;
    item->value = control_->selectedSegmentIndex();
    if (item->switchValueChangeHandler) item->switchValueChangeHandler(*item);
}

// ---- slider ----

void FormTableViewFloatCell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    slider_ = UISlider::make(CGRectMake(0, 0, kSliderInitialWidth, kSliderHeight));
    slider_->addAction(weakBind(self<FormTableViewFloatCell>(), &FormTableViewFloatCell::sliderValueDidChange),
                       UIControlEventValueChanged);
    contentView()->addSubview(slider_);
}

void FormTableViewFloatCell::cellWillAppear() {
    auto item = floatItem();
    if (!item) return;
    textLabel()->setText(item->title);
    textLabel()->setBackgroundColor(UIColor::clearColor());
    slider_->setValue(item->value);
    setEnabled(item->enabled());
}

void FormTableViewFloatCell::layoutSubviews() {
    FormTableViewCell::layoutSubviews();
    auto item = floatItem();
    CGFloat width = item ? static_cast<CGFloat>(item->sliderWidth) : FormFloatItem::kDefaultSliderWidth;
    CGSize content = contentView()->frame().size;
    slider_->setFrame(CGRectMake(content.width - width - formRowMargin(*sectionStyle()),
                                 (content.height - kSliderHeight) / 2, width, kSliderHeight));
    notifyWillLayoutSubviews();
}

void FormTableViewFloatCell::setEnabled(bool e) {
    FormTableViewCell::setEnabled(e);
    setUserInteractionEnabled(e);
    textLabel()->setEnabled(e);
    if (slider_) slider_->setEnabled(e);
}

void FormTableViewFloatCell::sliderValueDidChange() {
    auto item = floatItem();
    if (!item) return;
    item->value = slider_->value();
    if (item->sliderValueChangeHandler) item->sliderValueChangeHandler(*item);
}
