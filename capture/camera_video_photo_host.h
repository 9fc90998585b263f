// CameraVideoPhotoHost: a picture viewer in a parent view: a large image and, near the bottom, a
// strip of square thumbnails of photo files; a tapped thumbnail's photo flies onto the large
// image over 0.5 s. Its recording core is the general host's with the microphone alone, so a
// segment never begins writing and pause always answers NO.
//
// The views are made and used on the main thread; the layout goes through PhotoStripLayout.
#pragma once

#include <string>
#include <vector>

#include "capture/camera_video_general_host.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_scroll_view.h"

class CameraVideoPhotoHost : public CameraVideoGeneralHost, public UIScrollViewDelegate {
public:
    static constexpr double kThumb = 60;
    static constexpr double kGap = 2;
    static constexpr double kStripHeight = 64;
    static constexpr double kStripBottom = 150;
    static constexpr double kStripMargin = 100;
    static constexpr double kFlight = 0.5;
    static constexpr long kFirstTag = 1000;

    KORVA_MAKE(CameraVideoPhotoHost)
    void init() override;

    // The strip's width for a number of photos in a parent of the size.
    static float stripWidth(std::size_t count, CGSize parent);

    const std::vector<std::string>& photos() const { return photos_; }
    void setPhotos(std::vector<std::string> photos) { photos_ = std::move(photos); }
    const std::shared_ptr<UIView>& view();
    const std::shared_ptr<UIScrollView>& sel();
    const std::shared_ptr<UIImageView>& image();
    void setView(std::shared_ptr<UIView> v) { view_ = std::move(v); }
    void setSel(std::shared_ptr<UIScrollView> s) { sel_ = std::move(s); }
    void setImage(std::shared_ptr<UIImageView> i) { image_ = std::move(i); }

    // A tag that names no photo is ignored.
    void onImage(UIView& button);

    std::string className() const override { return "CameraVideoPhotoHost"; }

protected:
    CameraVideoPhotoHost(std::shared_ptr<UIView> parent, std::vector<std::string> photos)
        : CameraVideoGeneralHost(false, true), parent_(std::move(parent)), photos_(std::move(photos)) {}

private:
    void build();

    std::shared_ptr<UIView> parent_;
    std::vector<std::string> photos_;
    std::shared_ptr<UIView> view_;
    std::shared_ptr<UIScrollView> sel_;
    std::shared_ptr<UIImageView> image_;
};
