// The image-source editor: what feeds an image input of a filter: the camera frame itself
// ("CAMERA SOURCE", the record's value removed), a photo taken now or a library picture, each
// cropped on the crop screen and stored in the record as an image object. It offers no "Reset".
// The status bar is saved before a picker or the crop screen shows and restored after.
// Main-thread only.
#pragma once

#include <memory>

#include "editor/adjust/pop_adj_general_base.h"
#include "editor/crop/crop_view_controller.h"
#include "platform/ui/controller/ui_image_picker_controller.h"
#include "platform/ui/controller/ui_view_controller.h"

class IconButton;

class PopAdjSourceView : public PopAdjGeneralBase,
                         public UIImagePickerControllerDelegate,
                         public CropViewControllerDelegate {
public:
    KORVA_MAKE(PopAdjSourceView)
    static constexpr CGSize kSize{200, 195};
    static constexpr CGSize kButtonSize{190, 40};
    static constexpr CGFloat kButtonTops[3] = {5, 55, 105};
    static constexpr std::uint16_t kGlyphCamera = 61488, kGlyphPicture = 61502;
    static constexpr const char* kCameraSource = "CAMERA SOURCE";
    static constexpr const char* kTakeNow = "TAKE NOW";
    static constexpr const char* kPhotoLibrary = "PHOTO LIBRARY";
    static constexpr const char* kCameraSelected = "Camera Input Selected as Image";
    enum class Pick { None = -1, Camera = 0, PhotoLibrary = 1 };

    void init() override;
    void show(const std::shared_ptr<NSObject>& sender, const Value& record, Callback completion);
    using PopAdjGeneralBase::show;

    void onCamera0();
    void onCamera1(const std::shared_ptr<NSObject>& sender);
    void onPhotoLibrary(const std::shared_ptr<NSObject>& sender);
    // Save the status bar and show it plainly; put back what was saved.
    void updateStatusBar0();
    void updateStatusBar1();

    void didFinishPickingMediaWithInfo(UIImagePickerController& picker, const ValueDictionary& info) override;
    void imagePickerControllerDidCancel(UIImagePickerController& picker) override;
    void cropViewControllerDidFinishCroppingImage(CropViewController& crop,
                                                  const std::shared_ptr<UIImage>& image) override;
    void cropViewControllerDidCancel(CropViewController& crop) override;

    const Value& value() const { return value_; }
    const std::shared_ptr<UIView>& b0() const { return b0_; }
    const std::shared_ptr<IconButton>& btnCamera0() const { return btnCamera0_; }
    const std::shared_ptr<IconButton>& btnCamera1() const { return btnCamera1_; }
    const std::shared_ptr<IconButton>& btnPhotoLibrary() const { return btnPhotoLibrary_; }
    Pick imagePick() const { return imagePick_; }

    std::string className() const override { return "PopAdjSourceView"; }

protected:
    using PopAdjGeneralBase::PopAdjGeneralBase;

private:
    void openPicker(UIImagePickerControllerSourceType source, Pick pick, const std::shared_ptr<NSObject>& sender);
    void dismissPresented();

    Pick imagePick_ = Pick::None;
    bool lastStatusBarHidden_ = false;
    UIStatusBarStyle lastStatusBarStyle_ = UIStatusBarStyle::Default;
    Value value_;
    std::shared_ptr<UIView> b0_;
    std::shared_ptr<IconButton> btnCamera0_, btnCamera1_, btnPhotoLibrary_;
};
