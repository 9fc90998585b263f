// The filter-name tag's image and caption.
#include "ui/controls/label_status_button.h"

#include "foundation/global.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/draw/graphics.h"
#include "platform/ui/draw/image.h"
#include "ui/controls/caption_label.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/theme/font.h"
#include "widgets/scroll/scroll_label.h"

namespace {
constexpr CGFloat kCornerRadius = 15;
constexpr float kShadowOpacity = 0.5;

// The icon's shape in one colour (its alpha kept), so that a white icon shows on the white plate.
std::shared_ptr<UIImage> tinted(const std::shared_ptr<UIImage>& image, const std::shared_ptr<UIColor>& colour) {
    if (!image || !colour) return image;
    const CGRect all{{0, 0}, image->size()};
    UIGraphicsBeginImageContextWithOptions(all.size, false, image->scale());
    if (!UIGraphicsGetCurrentContext()) {
        UIGraphicsEndImageContext();
        return image;
    }
    image->drawInRect(all);
    colour->setFill();
    UIRectFillUsingBlendMode(all, CGBlendMode::SourceIn);
    auto out = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return out ? out : image;
}

}  // namespace

void LabelStatusButton::init() {
    UIView::init();
    layer()->setShadowColor(UIColor::whiteColor()->cgColor());
    layer()->setShadowOpacity(kShadowOpacity);
    layer()->setShadowOffset({1, 1});
    layer()->setCornerRadius(kCornerRadius);
    layer()->setMasksToBounds(true);

    iv_ = UIImageView::make(image_);
    iv_->setContentMode(UIViewContentMode::ScaleAspectFit);
    auto font = Global::shared()->font();
    label_ = makeCaptionLabel(font ? font->filterMenuNormal() : nullptr);

    auto me = self<LabelStatusButton>();
    const CGFloat h = image_ ? image_->size().height : 0;
    addSubview(iv_);
    addConstraintsLC(iv_, me, kImageLeft, 0, h, h);
    addSubview(label_);
    addConstraintsFull(label_, me, h + 2 * kImageLeft, 0, -kCaptionRight, 0);
}

void LabelStatusButton::setTitle(const std::string& title) {
    label_->setText(title);
}

void LabelStatusButton::setIconColor(const std::shared_ptr<UIColor>& colour) {
    iv_->setImage(tinted(image_, colour));
}
