// The progress arc and the cancel button.
#include "ui/popup/hud_det_view.h"

#include <numbers>

#include "foundation/global.h"
#include "foundation/numeric.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/path.h"
#include "platform/ui/layer/ca_shape_layer.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/font.h"
#include "widgets/button/icon_button.h"
#include "widgets/indicator/busy_indicator_view.h"

namespace {
constexpr CGFloat kArcBox = 110;
}

void HudDetView::init() {
    HudView::init();
    circle_ = CAShapeLayer::make();
    circle_->setPosition(kArcPosition);
    // The arc rings the indicator: a 110-point box above it, centred where the indicator is.
    arcHost_ = UIView::make();
    arcHost_->setUserInteractionEnabled(false);
    arcHost_->layer()->addSublayer(circle_);
    holder()->addSubview(arcHost_);
    addConstraintsCenter(arcHost_, holder(), 0, 0, kArcBox, kArcBox);

    btnCancel_ = IconButton::buttonWithType(UIButtonType::System);
    if (auto font = Global::shared()->font()) btnCancel_->titleLabel()->setFont(font->textFixedNormal());
    btnCancel_->setTitle(std::string("Cancel"), UIControlStateNormal);
    btnCancel_->addAwesomeIcon(kCancelGlyph, true);
    btnCancel_->setType(IconButtonType::Danger);
    btnCancel_->addAction(weakBind(self<HudDetView>(), &HudDetView::onCancel), UIControlEventTouchUpInside);
    holder()->addSubview(btnCancel_);
    addConstraintsCenter(btnCancel_, holder(), 0, kCancelOffset, kCancelSize.width, kCancelSize.height);
}

void HudDetView::show() {
    HudView::show();
    setProgress(0);
}

void HudDetView::setProgress(float p) {
    progress_ = p;
    constexpr float kTop = -std::numbers::pi_v<float> / 2;
    const float end = lerpFloat(kTop, 3 * std::numbers::pi_v<float> / 2, p);
    CGPath path;
    // Clockwise on screen is the increasing-angle sense of the path.
    if (double(end) > -std::numbers::pi / 2) path.addArc({0, 0}, kArcRadius, -std::numbers::pi / 2, end, false);
    circle_->setPath(path);
    circle_->setStrokeColor(CGColor::rgb(47 / 255.0, 163 / 255.0, 252 / 255.0, 1));
    circle_->setLineWidth(kArcWidth);
    circle_->setFillColor(UIColor::clearColor()->cgColor());
    circle_->setLineCap(CGLineCap::Butt);
    circle_->setLineJoin(CGLineJoin::Miter);
}

void HudDetView::onCancel() {
    if (auto d = delegate_.lock()) d->onHudDetViewCancel(*this);
}
