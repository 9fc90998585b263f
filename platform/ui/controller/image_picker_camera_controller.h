// The image picker's camera screen: the live view of the host's camera (the one the camera screen
// uses: synthetic, a picture, a movie or a real device) over the whole screen, and a bar with
// "Cancel" and "Take Photo". The camera runs while the screen is shown; its frames are scaled to
// the view on the screen's own queue, and a photo is taken at the camera's full size and handed
// to the picker, the right way up as the camera held it. When no camera is listed, access is
// refused or the camera does not start, the screen says so and "Take Photo" stays off. Main
// thread only; the camera's work runs on the screen's queue.
#pragma once

#include <memory>
#include <string>

#include "platform/ui/controller/ui_view_controller.h"

class ImagePickerCameraSession;
class UIButton;
class UIImage;
class UIImageView;
class UIImagePickerController;
class UILabel;

class ImagePickerCameraController : public UIViewController {
public:
    KORVA_MAKE(ImagePickerCameraController)
    ~ImagePickerCameraController() override;

    enum class State { Idle, Starting, Running, Taking, Unavailable };

    static constexpr CGFloat kBarHeight = 96;

    void setPicker(const std::weak_ptr<UIImagePickerController>& picker) { picker_ = picker; }

    State state() const { return state_; }
    // Why the camera is not shown (empty while it is, or while it starts).
    const std::string& problem() const { return problem_; }
    // The newest frame shown (none before the first).
    std::shared_ptr<UIImage> liveImage() const;
    const std::shared_ptr<UIImageView>& liveView() const { return liveView_; }
    const std::shared_ptr<UIButton>& cancelButton() const { return cancelButton_; }
    const std::shared_ptr<UIButton>& takeButton() const { return takeButton_; }

    // Takes a photo from the running camera; false while the camera is not running or a photo is
    // already being taken. The picker hears of the photo (or keeps the screen, on a failure).
    bool takePhoto();

    void loadView() override;
    void viewDidLayoutSubviews() override;
    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    bool prefersStatusBarHidden() const override { return true; }

    std::string className() const override { return "ImagePickerCameraController"; }

    // The camera's answers, on the main queue.
    void cameraDidStart();
    void cameraDidFail(const std::string& problem);
    void cameraDidShowFrame(std::shared_ptr<UIImage> frame);
    void cameraDidTakePhoto(std::shared_ptr<UIImage> photo, const std::string& problem);

protected:
    ImagePickerCameraController() = default;

private:
    void start();
    void stop();
    void setState(State state);
    CGSize livePixels();

    std::weak_ptr<UIImagePickerController> picker_;
    std::shared_ptr<ImagePickerCameraSession> camera_;
    std::shared_ptr<UIImageView> liveView_;
    std::shared_ptr<UILabel> messageLabel_;
    std::shared_ptr<UIView> bar_;
    std::shared_ptr<UIButton> cancelButton_, takeButton_;
    State state_ = State::Idle;
    std::string problem_;
};
