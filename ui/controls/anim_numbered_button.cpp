// The numbered button's layout and count text.
#include "ui/controls/anim_numbered_button.h"

#include <cstdio>

#include "foundation/global.h"
#include "platform/ui/control/ui_label.h"
#include "ui/controls/anim_button.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/font.h"

namespace {
constexpr CGFloat kButtonSide = 40;
constexpr CGFloat kLabelLeft = 45;
}  // namespace

void AnimNumberedButton::init() {
    UIView::init();
    auto me = self<AnimNumberedButton>();
    button_ = AnimButton::make();
    button_->setImages(off_, on_);
    addSubview(button_);
    addConstraintsLC(button_, me, 0, 0, kButtonSide, kButtonSide);
    label_ = UILabel::make();
    if (auto font = Global::shared()->font()) label_->setFont(font->textFixedNormal());
    addSubview(label_);
    addConstraintsFull(label_, me, kLabelLeft, 0, 0, 0);
    setNumber(0);
}

std::string AnimNumberedButton::numberText(std::int64_t n) {
    static constexpr struct {
        std::int64_t value;
        const char* suffix;
    } kUnits[] = {{1'000'000'000, "g"}, {1'000'000, "m"}, {1'000, "k"}};
    for (const auto& u : kUnits) {
        if (u.value > n) continue;
        char text[64];
        std::snprintf(text, sizeof text, "%0.1f%s", double(n) / double(u.value), u.suffix);
        return text;
    }
    return std::to_string(n);
}

void AnimNumberedButton::setNumber(std::int64_t n) {
    label_->setText(numberText(n));
}
