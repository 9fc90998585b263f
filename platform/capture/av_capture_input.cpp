// Device inputs.
#include "platform/capture/av_capture_input.h"

Result<std::shared_ptr<AVCaptureDeviceInput>> AVCaptureDeviceInput::deviceInputWithDevice(
    const std::shared_ptr<AVCaptureDevice>& device) {
    if (!device) return fail("no device");
    AVMediaType type = device->hasMediaType(AVMediaType::Video) ? AVMediaType::Video : AVMediaType::Audio;
    auto status = AVCaptureDevice::authorizationStatusForMediaType(type);
    if (status == AVAuthorizationStatus::Denied || status == AVAuthorizationStatus::Restricted)
        return fail("the application is not authorized to use the " +
                    std::string(type == AVMediaType::Video ? "camera" : "microphone"));
    if (!device->isConnected()) return fail("the device is not connected");
    return AVCaptureDeviceInput::make(device);
}

AVMediaType AVCaptureDeviceInput::mediaType() const {
    return device_->hasMediaType(AVMediaType::Video) ? AVMediaType::Video : AVMediaType::Audio;
}
