// LibraryRoad: the camera screen's road into the photo library. The library button stops capture
// and opens the photo picker; a picked photo opens the photo editor; a cancel or the editor's end
// comes back to the camera. While another screen is shown the camera stays stopped.
//
// The picker and the editor hold this road weakly as their delegate; it holds the screen weakly.
// Main-thread only.
#pragma once

#include <memory>

#include "editor/photo/edit_controller_delegate.h"
#include "platform/runtime/object.h"
#include "platform/ui/controller/ui_image_picker_controller.h"

class ViewController;

class LibraryRoad : public NSObject, public UIImagePickerControllerDelegate, public EditControllerDelegate {
public:
    // make(screen).
    KORVA_MAKE(LibraryRoad)

    // The library button: capture stops, then the picker opens.
    void onAsset();
    // The picker or the editor is shown over the camera.
    bool otherVCActivating() const { return otherVCActivating_; }

    void didFinishPickingMediaWithInfo(UIImagePickerController& picker, const ValueDictionary& info) override;
    void imagePickerControllerDidCancel(UIImagePickerController& picker) override;
    void onEditControllerDone(const std::shared_ptr<UIViewController>& editor) override;

    std::string className() const override { return "LibraryRoad"; }

protected:
    explicit LibraryRoad(std::weak_ptr<ViewController> screen) : screen_(std::move(screen)) {}

private:
    std::shared_ptr<LibraryRoad> me() { return self<LibraryRoad>(); }
    void openPicker();
    void backToCamera(bool animated);

    std::weak_ptr<ViewController> screen_;
    bool otherVCActivating_ = false;
};
