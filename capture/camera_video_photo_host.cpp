#include "capture/camera_video_photo_host.h"

#include <algorithm>

#include "capture/photo_strip_layout.h"
#include "platform/ui/animation/ui_view_animation.h"
#include "platform/ui/draw/color.h"

void CameraVideoPhotoHost::init() {
    CameraVideoGeneralHost::init();
    build();
}

float CameraVideoPhotoHost::stripWidth(std::size_t count, CGSize parent) {
    float content = float(kGap + (kThumb + kGap) * double(count));
    return std::min(content, std::min(float(parent.width), float(parent.height)) - float(kStripMargin));
}

const std::shared_ptr<UIView>& CameraVideoPhotoHost::view() {
    if (!view_) {
        view_ = UIView::make();
        view_->setBackgroundColor(UIColor::blueColor());
    }
    return view_;
}

const std::shared_ptr<UIScrollView>& CameraVideoPhotoHost::sel() {
    if (!sel_) {
        sel_ = UIScrollView::make();
        sel_->setBackgroundColor(UIColor::blackColor());
        sel_->setAlwaysBounceHorizontal(true);
        sel_->setDelegate(
            std::static_pointer_cast<UIScrollViewDelegate>(CameraVideoHost::self<CameraVideoPhotoHost>()));
    }
    return sel_;
}

const std::shared_ptr<UIImageView>& CameraVideoPhotoHost::image() {
    if (!image_) image_ = UIImageView::make();
    return image_;
}

void CameraVideoPhotoHost::build() {
    if (!parent_) return;
    auto layout = PhotoStripLayout::operations();
    parent_->addSubview(view());
    layout.pinEdges(view(), parent_);
    view()->addSubview(image());
    layout.pinEdges(image(), view());
    float width = stripWidth(photos_.size(), parent_->frame().size);
    view()->addSubview(sel());
    layout.placeCentredAbove(sel(), view(), {width, kStripHeight}, kStripBottom);
    std::weak_ptr<CameraVideoPhotoHost> weak = CameraVideoHost::self<CameraVideoPhotoHost>();
    for (std::size_t i = 0; i < photos_.size(); ++i) {
        auto button = UIButton::buttonWithType(UIButtonType::Custom);
        button->addAction(
            [weak](UIControl& sender) {
                if (auto host = weak.lock()) host->onImage(sender);
            },
            UIControlEventTouchUpInside);
        if (auto photo = UIImage::imageWithContentsOfFile(photos_[i]))
            button->setImage(layout.cropResize(photo, 1.0, {kThumb, kThumb}), UIControlStateNormal);
        button->setFrame({{kGap + (kThumb + kGap) * double(i), kGap}, {kThumb, kThumb}});
        button->setTag(kFirstTag + long(i));
        sel()->addSubview(button);
    }
    sel()->setContentSize({kGap + (kThumb + kGap) * double(photos_.size()), 1.0});
}

void CameraVideoPhotoHost::onImage(UIView& button) {
    long index = button.tag() - kFirstTag;
    if (index < 0 || std::size_t(index) >= photos_.size()) return;
    CGRect start = button.convertRectToView(button.bounds(), view());
    CGRect target = image()->frame();
    auto flying = UIImageView::make();
    flying->setImage(UIImage::imageWithContentsOfFile(photos_[std::size_t(index)]));
    flying->setFrame(start);
    view()->addSubview(flying);
    std::weak_ptr<CameraVideoPhotoHost> weak = CameraVideoHost::self<CameraVideoPhotoHost>();
    UIViewAnimation::animate(
        kFlight, [flying, target] { flying->setFrame(target); },
        [weak, flying](bool) {
            if (auto host = weak.lock()) host->image()->setImage(flying->image());
            flying->removeFromSuperview();
        });
}
