// Sync-timing row of the settings form.
#include "settings/dict/my_form_sync_timing.h"

#include <cmath>
#include <limits>

#include "foundation/global.h"
#include "platform/runtime/format.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/font.h"

namespace {
// The three boxes, each 300 wide and centred: the value line, the caption, the presets.
constexpr CGFloat kBoxWidth = 300;
constexpr CGFloat kValueBoxHeight = 30;
constexpr CGFloat kCaptionTop = 35;
constexpr CGFloat kCaptionHeight = 20;
constexpr CGFloat kPresetTop = 55;
constexpr CGFloat kPresetHeight = 40;
constexpr CGFloat kLineTop = 5;
constexpr CGFloat kLineHeight = 30;
constexpr CGFloat kTitleLeft = 10;
constexpr CGFloat kTitleWidth = 85;
constexpr CGFloat kValueLeft = 100;
constexpr CGFloat kStepperLeft = 190;
constexpr CGFloat kStepperRightInset = 5;
constexpr CGFloat kPresetBottomInset = 5;
constexpr CGFloat kPresetLabelRight = 210;
constexpr CGFloat kPresetLabelWidth = 60;
constexpr CGFloat kButtonWidth = 40;
constexpr double kStep = 0.1;

struct Preset {
    const char* title;
    CGFloat rightInset;
};
constexpr Preset kPresets[] = {
    {"0.0", 170}, {"3.5", 130}, {"11.82", 90}, {"15.33", 50}, {MyFormSyncTimingCell::kOrig, 10}};

std::shared_ptr<UIView> box(const std::shared_ptr<UIView>& in, CGFloat top, CGFloat height) {
    auto view = UIView::make();
    in->addSubview(view);
    addConstraintsCT(view, in, 0, top, kBoxWidth, height);
    return view;
}

constexpr CGFloat kMinimumTextScale = 0.5;

// The boxes are narrow for the app's text sizes: texts shrink to fit rather than being cut.
void shrinkToFit(UILabel& label) {
    label.setAdjustsFontSizeToFitWidth(true);
    label.setMinimumScaleFactor(kMinimumTextScale);
}

std::shared_ptr<UILabel> makeLabel(const std::shared_ptr<UIFont>& font) {
    auto l = UILabel::make();
    l->setFont(font);
    shrinkToFit(*l);
    return l;
}
}  // namespace

std::shared_ptr<MyFormSyncTimingItem> MyFormSyncTimingItem::itemWithTitle(std::optional<std::string> title, float value,
                                                                          float value0, ChangeHandler handler) {
    auto item = make();
    item->title = std::move(title);
    item->value = value;
    item->value0 = value0;
    item->valueChangeHandler = std::move(handler);
    return item;
}

void MyFormSyncTimingCell::cellDidLoad() {
    FormTableViewCell::cellDidLoad();
    setSelectionStyle(UITableViewCellSelectionStyle::None);
    auto fonts = Global::shared()->font();
    std::weak_ptr<MyFormSyncTimingCell> weak = self<MyFormSyncTimingCell>();

    auto line = box(contentView(), 0, kValueBoxHeight);
    label_ = makeLabel(fonts->textFixedNormal());
    line->addSubview(label_);
    addConstraintsLT(label_, line, kTitleLeft, kLineTop, kTitleWidth, kLineHeight);
    stepper_ = UIStepper::make();
    stepper_->setMinimumValue(-std::numeric_limits<double>::infinity());
    stepper_->setMaximumValue(std::numeric_limits<double>::infinity());
    stepper_->setStepValue(kStep);
    stepper_->addAction(
        [weak](UIControl&) {
            if (auto cell = weak.lock()) cell->onStepper();
        },
        UIControlEventValueChanged);
    line->addSubview(stepper_);
    addConstraintsT(stepper_, line, kStepperLeft, -kStepperRightInset, kLineTop, kLineHeight);
    value_ = makeLabel(fonts->textFixedNormal());
    value_->setTextAlignment(NSTextAlignment::Right);
    line->addSubview(value_);
    addConstraintsLT(value_, line, kValueLeft, kLineTop, kTitleWidth, kLineHeight);

    auto captionBox = box(contentView(), kCaptionTop, kCaptionHeight);
    auto caption = makeLabel(fonts->textFixedSmall2());
    caption->setTextAlignment(NSTextAlignment::Center);
    caption->setText("Time Length of ZUR logo intro");
    captionBox->addSubview(caption);
    addConstraintsFull(caption, captionBox, 0, 0, 0, 0);

    auto presets = box(contentView(), kPresetTop, kPresetHeight);
    auto presetLabel = makeLabel(fonts->textFixedSmall1());
    presetLabel->setText("Preset");
    presets->addSubview(presetLabel);
    addConstraintsRB(presetLabel, presets, -kPresetLabelRight, -kPresetBottomInset, kPresetLabelWidth, kLineHeight);
    std::shared_ptr<UIButton> buttons[std::size(kPresets)];
    for (std::size_t i = 0; i < std::size(kPresets); ++i) {
        auto button = UIButton::buttonWithType(UIButtonType::System);
        button->setTitle(kPresets[i].title, UIControlStateNormal);
        button->titleLabel()->setFont(fonts->textFixedSmall1());
        shrinkToFit(*button->titleLabel());
        button->addAction(
            [weak](UIControl& c) {
                if (auto cell = weak.lock()) cell->onButton(static_cast<UIButton&>(c));
            },
            UIControlEventTouchUpInside);
        presets->addSubview(button);
        addConstraintsRB(button, presets, -kPresets[i].rightInset, -kPresetBottomInset, kButtonWidth, kLineHeight);
        buttons[i] = button;
    }
    option1_ = buttons[1];
    option2_ = buttons[2];
    option3_ = buttons[3];
    updateView();
}

void MyFormSyncTimingCell::updateView() {
    auto item = timingItem();
    if (!item || !label_) return;
    label_->setText(item->title);
    stepper_->setValue(item->value);
    value_->setText(formatString("%0.02f (sec)", {Value(static_cast<double>(item->value))}));
}

void MyFormSyncTimingCell::changed() {
    auto item = timingItem();
    if (!item) return;
    auto keep = self<MyFormSyncTimingCell>();
    if (item->valueChangeHandler) item->valueChangeHandler(*item);
    updateView();
}

void MyFormSyncTimingCell::onStepper() {
    auto item = timingItem();
    if (!item) return;
    // Whole tenths, so that repeated steps do not gather a long binary fraction.
    item->value = static_cast<float>(std::round(stepper_->value() / kStep) * kStep);
    changed();
}

void MyFormSyncTimingCell::onButton(UIButton& button) {
    auto item = timingItem();
    if (!item) return;
    std::string title = button.titleForState(UIControlStateNormal).value_or("");
    item->value = title == kOrig ? item->value0 : std::strtof(title.c_str(), nullptr);
    changed();
}
