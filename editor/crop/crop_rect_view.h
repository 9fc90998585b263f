// CropRectView: the crop rectangle over the picture: a border image, a rule-of-thirds grid (and a
// finer grid while the picture turns), and eight handles whose drags make a new rectangle, freely
// or keeping the ratio the rectangle had when keeping was switched on. Main-thread only.
#pragma once

#include <array>
#include <memory>

#include "editor/crop/crop_geometry.h"
#include "editor/crop/resize_control.h"
#include "platform/ui/control/ui_image_view.h"

class CropRectView;

// The border: its picture drawn over the whole view, the picture's caps kept and its middle
// stretched.
class CropBorderView : public UIView {
public:
    KORVA_MAKE(CropBorderView)
    void init() override;
    const std::shared_ptr<UIImage>& image() const { return image_; }
    void setImage(std::shared_ptr<UIImage> image);
    void drawRect(CGRect rect) override;
    std::string className() const override { return "CropBorderView"; }

protected:
    using UIView::UIView;

private:
    std::shared_ptr<UIImage> image_;
};

// Every event is optional.
class CropRectViewDelegate {
public:
    virtual ~CropRectViewDelegate() = default;
    virtual void cropRectViewDidBeginEditing(CropRectView&) {}
    virtual void cropRectViewEditingChanged(CropRectView&) {}
    virtual void cropRectViewDidEndEditing(CropRectView&) {}
};

class CropRectView : public UIView, public ResizeControlViewDelegate {
public:
    KORVA_MAKE(CropRectView)
    static constexpr CGFloat kBorderOutset = 2;
    static constexpr CGFloat kBorderCap = 23;
    static constexpr const char* kBorderImage = "CropEditor.bundle/CropEditorBorder";
    static constexpr float kMinorGridAlpha = 0.3f;
    void init() override;

    void setDelegate(const std::shared_ptr<CropRectViewDelegate>& d) { delegate_ = d; }
    bool showsGridMajor() const { return showsGridMajor_; }
    void setShowsGridMajor(bool s);
    bool showsGridMinor() const { return showsGridMinor_; }
    void setShowsGridMinor(bool s);
    bool keepingAspectRatio() const { return keepingAspectRatio_; }
    // Switching keeping on fixes the ratio at the rectangle's current one (short side over long).
    void setKeepingAspectRatio(bool keep);
    double fixedAspectRatio() const { return fixedAspectRatio_; }

    // Handles in the order top-left, top-right, bottom-left, bottom-right, top, left, bottom, right.
    const std::array<std::shared_ptr<ResizeControl>, 8>& handles() const { return handles_; }
    const std::shared_ptr<ResizeControl>& handle(CropHandle h) const { return handles_[std::size_t(h)]; }
    const std::shared_ptr<CropBorderView>& borderView() const { return borderView_; }

    // The rectangle a drag of the handle makes from the rectangle at the drag's start.
    CGRect cropRectMakeWithResizeControlView(const ResizeControl& handle) const;

    std::shared_ptr<UIView> hitTest(CGPoint point) override;
    void layoutSubviews() override;
    void drawRect(CGRect rect) override;
    void resizeControlViewDidBeginResizing(ResizeControl& handle) override;
    void resizeControlViewDidResize(ResizeControl& handle) override;
    void resizeControlViewDidEndResizing(ResizeControl& handle) override;

    std::string className() const override { return "CropRectView"; }

protected:
    explicit CropRectView(CGRect frame = CGRectZero) : UIView(frame) {}

private:
    std::weak_ptr<CropRectViewDelegate> delegate_;
    bool showsGridMajor_ = true, showsGridMinor_ = false, keepingAspectRatio_ = false;
    double fixedAspectRatio_ = 1;
    CGRect initialRect_{};
    std::shared_ptr<CropBorderView> borderView_;
    std::array<std::shared_ptr<ResizeControl>, 8> handles_;
};
