// Device lookup, device limits and connection orientation.
#include "capture/capture_device_custom.h"

#include "foundation/numeric.h"

std::shared_ptr<AVCaptureDevice> deviceWithMediaType(AVMediaType type, std::int64_t position) {
    // Runs on the capture queue, so it asks the capture service only (the discovery of current
    // systems), not the main-thread device facts.
    auto wanted = static_cast<AVCaptureDevicePosition>(position);
    return AVCaptureDevice::defaultDevice(AVCaptureDeviceType::BuiltInWideAngleCamera, type, wanted);
}

std::shared_ptr<AVCaptureDevice> defaultMicrophone() {
    // The wide-angle lookup lists cameras only; the microphone is the default audio device.
    return AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType::Audio);
}

std::pair<float, float> minTemperatureAndTint(const AVCaptureDevice& device) {
    auto tt = device.temperatureAndTintValuesForDeviceWhiteBalanceGains({1.0f, 1.0f, 1.0f});
    return {tt.temperature, tt.tint};
}

std::pair<float, float> maxTemperatureAndTint(const AVCaptureDevice& device) {
    float g = device.maxWhiteBalanceGain();
    auto tt = device.temperatureAndTintValuesForDeviceWhiteBalanceGains({g, g, g});
    return {tt.temperature, tt.tint};
}

double maxZoom(const AVCaptureDevice& device) {
    auto format = device.activeFormat();
    if (!format) return 1.0;
    return minFloat(6.0f, float(format->videoMaxZoomFactor()));
}

bool isLockedFocus(const AVCaptureDevice& device) {
    return device.focusMode() == AVCaptureFocusMode::Locked;
}
bool isLockedExposure(const AVCaptureDevice& device) {
    return device.exposureMode() == AVCaptureExposureMode::Custom;
}
bool isLockedWhiteBalance(const AVCaptureDevice& device) {
    return device.whiteBalanceMode() == AVCaptureWhiteBalanceMode::Locked;
}

void adjustOrientation(AVCaptureConnection& connection, std::int64_t orientation, std::int64_t position,
                       bool frontMirrored) {
    connection.setVideoOrientation(static_cast<AVCaptureVideoOrientation>(orientation));
    connection.setAutomaticallyAdjustsVideoMirroring(false);
    if (orientation < 1 || orientation > 4) return;
    static constexpr std::int64_t kTurned[] = {0, 1, 2, 4, 3};
    connection.setVideoOrientation(static_cast<AVCaptureVideoOrientation>(kTurned[orientation]));
    connection.setVideoMirrored(position != 1 && frontMirrored);
}
