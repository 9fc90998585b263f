// CropViewController: a full-screen crop of one picture, with Cancel and Done in the navigation
// bar and "Constrain" in the toolbar, which fixes the crop rectangle to one of nine ratios. It
// hands the cropped picture to its delegate, which dismisses the screen in both events. Values set
// before the view has its size are applied again when it appears. Main-thread only.
#pragma once

#include <memory>
#include <string>

#include "editor/crop/crop_view.h"
#include "platform/ui/controller/ui_action_sheet.h"
#include "platform/ui/controller/ui_view_controller.h"

class CropViewController;
class NSBundle;

// Both events are optional; one not answered leaves the screen up.
class CropViewControllerDelegate {
public:
    virtual ~CropViewControllerDelegate() = default;
    virtual void cropViewControllerDidFinishCroppingImage(CropViewController&,
                                                          const std::shared_ptr<UIImage>& /*image*/) {}
    virtual void cropViewControllerDidCancel(CropViewController&) {}
};

class CropViewController : public UIViewController, public UIActionSheetDelegate {
public:
    KORVA_MAKE(CropViewController)
    static constexpr const char* kBundleName = "CropEditor.bundle";

    // The screen's text for a key (the English text) from the bundle's "Localizable" table; the key
    // itself when the bundle or the entry is missing.
    static std::string localized(const std::string& key);

    void setDelegate(const std::shared_ptr<CropViewControllerDelegate>& d) { delegate_ = d; }
    const std::shared_ptr<UIImage>& image() const { return image_; }
    void setImage(std::shared_ptr<UIImage> image);
    bool keepingCropAspectRatio() const { return keepingCropAspectRatio_; }
    void setKeepingCropAspectRatio(bool keep);
    double cropAspectRatio() const { return cropAspectRatio_; }
    void setCropAspectRatio(double ratio);
    CGRect cropRect() const { return cropRect_; }
    void setCropRect(CGRect rect);
    CGRect imageCropRect() const { return imageCropRect_; }
    void setImageCropRect(CGRect rect);
    bool toolbarHidden() const { return toolbarHidden_; }
    void setToolbarHidden(bool hidden) { toolbarHidden_ = hidden; }
    void resetCropRect() { cropView_->resetCropRect(); }
    void resetCropRectAnimated(bool animated) { cropView_->resetCropRectAnimated(animated); }

    const std::shared_ptr<CropView>& cropView() const { return cropView_; }
    const std::shared_ptr<UIActionSheet>& actionSheet() const { return actionSheet_; }

    void cancel();
    void done();
    void constrain();
    void actionSheetClickedButtonAtIndex(UIActionSheet& sheet, long index) override;

    void loadView() override;
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    bool shouldAutorotate() const override { return true; }

    std::string className() const override { return "CropViewController"; }

protected:
    CropViewController() = default;

private:
    std::weak_ptr<CropViewControllerDelegate> delegate_;
    std::shared_ptr<UIImage> image_;
    bool keepingCropAspectRatio_ = false;
    double cropAspectRatio_ = 0;
    CGRect cropRect_{}, imageCropRect_{};
    bool toolbarHidden_ = false;
    std::shared_ptr<CropView> cropView_;
    std::shared_ptr<UIActionSheet> actionSheet_;
};
