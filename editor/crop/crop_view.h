// CropView: the picture in a zoomable scroll view whose frame is the crop rectangle, everything
// outside the rectangle dimmed; the user pans, pinches and turns the picture under the rectangle
// and resizes the rectangle by its handles. It computes the rectangle in image pixels and the
// cropped picture. Main-thread only.
#pragma once

#include <array>
#include <memory>

#include "editor/crop/crop_rect_view.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_scroll_view.h"
#include "platform/ui/gesture/ui_rotation_gesture_recognizer.h"

class UIImage;

class CropView : public UIView,
                 public UIScrollViewDelegate,
                 public UIGestureRecognizerDelegate,
                 public CropRectViewDelegate {
public:
    KORVA_MAKE(CropView)
    static constexpr CGFloat kMaximumZoom = 20;
    static constexpr float kOverlayAlpha = 0.4f;
    static constexpr CGFloat kInsetPortrait = 37, kInsetLandscape = 20, kInsetSide = 20;
    static constexpr double kZoomDuration = 0.25;
    static constexpr double kAutomaticZoomDuration = 1.0;
    static constexpr CGFloat kAutomaticZoomMargin = 5;
    void init() override;

    const std::shared_ptr<UIImage>& image() const { return image_; }
    void setImage(std::shared_ptr<UIImage> image);
    bool keepingCropAspectRatio() const { return keepingCropAspectRatio_; }
    void setKeepingCropAspectRatio(bool keep);
    CGRect cropRect() const { return scrollView_->frame(); }
    double cropAspectRatio() const;
    void setCropAspectRatio(double ratio) { setCropAspectRatio(ratio, true); }
    void setCropAspectRatio(double ratio, bool center);
    void setCropRect(CGRect rect) { zoomToCropRect(rect, false); }
    // A rectangle in image pixels; one wholly outside the picture leaves the crop as reset.
    void setImageCropRect(CGRect rect);
    void resetCropRect() { resetCropRectAnimated(false); }
    void resetCropRectAnimated(bool animated);

    // The crop rectangle in image pixels, and the picture turned and cut to it (none without a
    // picture or when the rectangle misses it).
    CGRect zoomedCropRect() const;
    std::shared_ptr<UIImage> croppedImage() const;
    bool userHasModifiedCropArea() const;
    CGAffineTransform rotation() const;
    float rotationAngle() const;
    void setRotationAngle(double radians);
    void setRotationAngle(double radians, bool snap);

    const std::shared_ptr<UIScrollView>& scrollView() const { return scrollView_; }
    const std::shared_ptr<UIView>& zoomingView() const { return zoomingView_; }
    const std::shared_ptr<UIImageView>& imageView() const { return imageView_; }
    const std::shared_ptr<CropRectView>& cropRectView() const { return cropRectView_; }
    const std::array<std::shared_ptr<UIView>, 4>& overlays() const { return overlays_; }
    // The zoomed picture's rectangle in this view (zero before the first layout with a picture).
    CGRect pictureRect();
    CGRect insetRect() const { return insetRect_; }
    CGRect editingRect() const { return editingRect_; }
    bool isResizing() const { return resizing_; }

    void zoomToCropRect(CGRect rect, bool center);
    void handleRotation(UIRotationGestureRecognizer& recognizer);

    void layoutSubviews() override;
    std::shared_ptr<UIView> hitTest(CGPoint point) override;
    std::shared_ptr<UIView> viewForZoomingInScrollView(UIScrollView&) override { return zoomingView_; }
    void scrollViewWillEndDragging(UIScrollView& scrollView, CGPoint velocity, CGPoint* target) override;
    bool shouldRecognizeSimultaneously(UIGestureRecognizer&, UIGestureRecognizer&) override { return true; }
    void cropRectViewDidBeginEditing(CropRectView&) override { resizing_ = true; }
    void cropRectViewEditingChanged(CropRectView& view) override;
    void cropRectViewDidEndEditing(CropRectView& view) override;

    std::string className() const override { return "CropView"; }

protected:
    explicit CropView(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    void setupImageView();
    void layoutCropRectViewWithCropRect(CGRect rect);
    CGRect cappedCropRectInImageRectWithCropRectView(const CropRectView& view);
    void automaticZoomIfEdgeTouched(CGRect rect);
    static bool portrait();

    std::shared_ptr<UIImage> image_;
    bool keepingCropAspectRatio_ = false;
    std::shared_ptr<UIScrollView> scrollView_;
    std::shared_ptr<UIView> zoomingView_;
    std::shared_ptr<UIImageView> imageView_;
    std::shared_ptr<CropRectView> cropRectView_;
    std::array<std::shared_ptr<UIView>, 4> overlays_;  // top, left, right, bottom
    std::shared_ptr<UIRotationGestureRecognizer> rotationRecognizer_;
    UIInterfaceOrientation interfaceOrientation_ = UIInterfaceOrientation::Unknown;
    CGRect insetRect_{}, editingRect_{};
    bool resizing_ = false;
};
