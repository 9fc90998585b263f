// The tab button.
#include "ui/controls/tab_bar_button.h"

#include "foundation/global.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/draw/color.h"
#include "ui/controls/anim_button.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/font.h"

namespace {
constexpr CGFloat kCaptionBottom = -2, kCaptionHeight = 15;
constexpr CGFloat kImageTop = 3, kCaptionedImage = 36, kImage = 40;
}  // namespace

void TabBarButton::setup() {
    auto tap = weakBind(self<TabBarButton>(), &TabBarButton::onTap);
    image_ = AnimButton::make();
    image_->addAction(tap, UIControlEventTouchUpInside);
    text_ = UIButton::buttonWithType(UIButtonType::System);
    text_->setTintColor(UIColor::whiteColor());
    if (auto font = Global::shared()->font()) text_->titleLabel()->setFont(font->textFixedSmall2());
    text_->addAction(tap, UIControlEventTouchUpInside);
}

void TabBarButton::relayout() {
    auto me = self<TabBarButton>();
    image_->removeFromSuperview();
    text_->removeFromSuperview();
    addSubview(image_);
    const auto caption = text_->titleForState(UIControlStateNormal);
    if (caption && !caption->empty()) {
        addSubview(text_);
        addConstraintsB(text_, me, 0, 0, kCaptionBottom, kCaptionHeight);
        addConstraintsCT(image_, me, 0, kImageTop, kCaptionedImage, kCaptionedImage);
    } else {
        addConstraintsCenter(image_, me, 0, 0, kImage, kImage);
    }
}

void TabBarButton::onTap() {
    if (auto d = delegate_.lock()) d->onTabBarButtonTap(*this);
}
