#include "editor/color/dimension_button.h"

#include "foundation/global.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "ui/layout/view_custom_style.h"
#include "ui/theme/font.h"
#include "widgets/button/icon_button.h"

namespace {
constexpr CGFloat kRadius = 8;
}

std::shared_ptr<IconButton> makeDimensionButton(std::shared_ptr<UIColor> background, std::function<void()> action) {
    auto button = IconButton::buttonWithType(UIButtonType::System);
    button->setType(IconButtonType::Info);
    button->setTitle("Dimension", UIControlStateNormal);
    if (auto font = Global::shared()->font()) button->titleLabel()->setFont(font->filterMenuNormal());
    button->setTintColor(UIColor::whiteColor());
    if (background) button->setBackgroundColor(std::move(background));
    assignRound(*button, kRadius);
    button->addAction([action = std::move(action)](UIControl&) { action(); }, UIControlEventTouchUpInside);
    return button;
}
