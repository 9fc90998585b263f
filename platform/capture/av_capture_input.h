// Capture inputs: a device input feeds a session from one camera or microphone.
#pragma once

#include <memory>

#include "platform/capture/av_capture_device.h"
#include "platform/runtime/object.h"
#include "platform/runtime/result.h"

class AVCaptureInput : public NSObject {
public:
    virtual AVMediaType mediaType() const = 0;
};

class AVCaptureDeviceInput : public AVCaptureInput {
public:
    KORVA_MAKE(AVCaptureDeviceInput)

    // Fails for a missing device and when the user has not allowed its media type.
    static Result<std::shared_ptr<AVCaptureDeviceInput>> deviceInputWithDevice(
        const std::shared_ptr<AVCaptureDevice>& device);

    const std::shared_ptr<AVCaptureDevice>& device() const { return device_; }
    AVMediaType mediaType() const override;
    std::string className() const override { return "AVCaptureDeviceInput"; }

protected:
    explicit AVCaptureDeviceInput(std::shared_ptr<AVCaptureDevice> device) : device_(std::move(device)) {}

private:
    std::shared_ptr<AVCaptureDevice> device_;
};
