// The picker's camera screen: live view, bar and the camera's answers.
#include "platform/ui/controller/image_picker_camera_controller.h"

#include <cmath>

#include "platform/ui/app/ui_screen.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/controller/controller_view.h"
#include "platform/ui/controller/image_picker_camera_session.h"
#include "platform/ui/controller/ui_image_picker_controller.h"
#include "platform/ui/text/ui_font.h"

namespace {

constexpr CGFloat kButtonFontSize = 18;
constexpr CGFloat kMessageFontSize = 17;
constexpr CGFloat kButtonWidth = 120;
constexpr CGFloat kButtonHeight = 44;
constexpr CGFloat kSideMargin = 16;

std::shared_ptr<UIButton> barButton(const char* title, bool bold) {
    auto button = UIButton::buttonWithType(UIButtonType::System);
    button->setTitle(std::string(title), UIControlStateNormal);
    button->setTitleColor(UIColor::whiteColor(), UIControlStateNormal);
    button->setTitleColor(UIColor::colorWithWhite(1, 0.35), UIControlStateDisabled);
    button->titleLabel()->setFont(bold ? UIFont::boldSystemFontOfSize(kButtonFontSize)
                                       : UIFont::systemFontOfSize(kButtonFontSize));
    return button;
}

}  // namespace

ImagePickerCameraController::~ImagePickerCameraController() {
    if (camera_) camera_->stop();
}

std::shared_ptr<UIImage> ImagePickerCameraController::liveImage() const {
    return liveView_ ? liveView_->image() : nullptr;
}

void ImagePickerCameraController::loadView() {
    auto root = ControllerView::make(UIScreen::mainScreen()->bounds());
    root->setBackgroundColor(UIColor::blackColor());
    liveView_ = UIImageView::make(root->bounds());
    liveView_->setContentMode(UIViewContentMode::ScaleAspectFill);
    liveView_->setClipsToBounds(true);
    root->addSubview(liveView_);

    messageLabel_ = UILabel::make(CGRectZero);
    messageLabel_->setFont(UIFont::systemFontOfSize(kMessageFontSize));
    messageLabel_->setTextColor(UIColor::whiteColor());
    messageLabel_->setTextAlignment(NSTextAlignment::Center);
    messageLabel_->setNumberOfLines(0);
    messageLabel_->setHidden(true);
    root->addSubview(messageLabel_);

    bar_ = UIView::make(CGRectZero);
    bar_->setBackgroundColor(UIColor::colorWithWhite(0, 0.6));
    root->addSubview(bar_);
    std::weak_ptr<ImagePickerCameraController> weak = self<ImagePickerCameraController>();
    cancelButton_ = barButton("Cancel", false);
    cancelButton_->addAction(
        [weak](UIControl&) {
            auto me = weak.lock();
            if (auto picker = me ? me->picker_.lock() : nullptr) picker->cancel();
        },
        UIControlEventTouchUpInside);
    takeButton_ = barButton("Take Photo", true);
    takeButton_->addAction(
        [weak](UIControl&) {
            if (auto me = weak.lock()) me->takePhoto();
        },
        UIControlEventTouchUpInside);
    takeButton_->setEnabled(false);
    bar_->addSubview(cancelButton_);
    bar_->addSubview(takeButton_);
    setView(root);
}

void ImagePickerCameraController::viewDidLayoutSubviews() {
    UIViewController::viewDidLayoutSubviews();
    CGRect b = view()->bounds();
    UIEdgeInsets safe = view()->safeAreaInsets();
    CGFloat barHeight = kBarHeight + safe.bottom;
    CGFloat barTop = b.size.height - barHeight;
    liveView_->setFrame(b);
    bar_->setFrame(CGRectMake(0, barTop, b.size.width, barHeight));
    CGFloat buttonTop = (kBarHeight - kButtonHeight) / 2;
    cancelButton_->setFrame(CGRectMake(safe.left + kSideMargin, buttonTop, kButtonWidth, kButtonHeight));
    takeButton_->setFrame(
        CGRectMake(b.size.width - safe.right - kSideMargin - kButtonWidth, buttonTop, kButtonWidth, kButtonHeight));
    messageLabel_->setFrame(CGRectMake(kSideMargin * 2, safe.top, b.size.width - kSideMargin * 4, barTop - safe.top));
    if (camera_) camera_->setLiveSize(livePixels());
}

CGSize ImagePickerCameraController::livePixels() {
    // The host draws at its own density: frames of the view's pixels there are laid 1:1.
    CGSize size = view()->bounds().size;
    CGFloat scale = UIScreen::mainScreen()->nativeScale();
    return CGSize{std::round(size.width * scale), std::round(size.height * scale)};
}

void ImagePickerCameraController::viewWillAppear(bool animated) {
    UIViewController::viewWillAppear(animated);
    start();
}

void ImagePickerCameraController::viewDidDisappear(bool animated) {
    UIViewController::viewDidDisappear(animated);
    stop();
}

void ImagePickerCameraController::start() {
    if (state_ == State::Starting || state_ == State::Running || state_ == State::Taking) return;
    if (!camera_) {
        camera_ = ImagePickerCameraSession::make();
        std::weak_ptr<ImagePickerCameraController> weak = self<ImagePickerCameraController>();
        ImagePickerCameraSession::Handlers handlers;
        handlers.started = [weak] {
            if (auto me = weak.lock()) me->cameraDidStart();
        };
        handlers.failed = [weak](const std::string& problem) {
            if (auto me = weak.lock()) me->cameraDidFail(problem);
        };
        handlers.frame = [weak](std::shared_ptr<UIImage> frame) {
            if (auto me = weak.lock()) me->cameraDidShowFrame(std::move(frame));
        };
        handlers.photo = [weak](std::shared_ptr<UIImage> photo, const std::string& problem) {
            if (auto me = weak.lock()) me->cameraDidTakePhoto(std::move(photo), problem);
        };
        camera_->setHandlers(std::move(handlers));
    }
    if (isViewLoaded()) camera_->setLiveSize(livePixels());
    problem_.clear();
    setState(State::Starting);
    camera_->start();
}

void ImagePickerCameraController::stop() {
    if (camera_) camera_->stop();
    if (state_ != State::Unavailable) setState(State::Idle);
}

void ImagePickerCameraController::setState(State state) {
    state_ = state;
    if (!isViewLoaded()) return;
    takeButton_->setEnabled(state == State::Running);
    messageLabel_->setText(problem_);
    messageLabel_->setHidden(state != State::Unavailable);
}

bool ImagePickerCameraController::takePhoto() {
    if (state_ != State::Running || !camera_) return false;
    setState(State::Taking);
    camera_->takePhoto();
    return true;
}

void ImagePickerCameraController::cameraDidStart() {
    if (state_ == State::Starting) setState(State::Running);
}

void ImagePickerCameraController::cameraDidFail(const std::string& problem) {
    if (state_ != State::Starting) return;
    problem_ = problem;
    setState(State::Unavailable);
}

void ImagePickerCameraController::cameraDidShowFrame(std::shared_ptr<UIImage> frame) {
    if (state_ != State::Running && state_ != State::Taking) return;
    liveView_->setImage(std::move(frame));
}

void ImagePickerCameraController::cameraDidTakePhoto(std::shared_ptr<UIImage> photo, const std::string& problem) {
    if (state_ != State::Taking) return;
    // A photo that could not be taken leaves the camera for another try.
    if (!photo) {
        problem_ = problem;
        setState(State::Running);
        return;
    }
    setState(State::Running);
    if (auto picker = picker_.lock()) picker->didTakePicture(std::move(photo));
}
