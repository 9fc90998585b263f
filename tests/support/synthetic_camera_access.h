// What fixtures over the capture stack share: the synthetic cameras by position, their drivers, and
// the photos the library holds.
#pragma once

#include <memory>
#include <vector>

#include "platform/capture/av_capture_device.h"
#include "platform/capture/synthetic_camera.h"
#include "platform/photos/ph_asset.h"

struct SyntheticCameraAccess {
    static std::shared_ptr<AVCaptureDevice> back() {
        return AVCaptureDevice::defaultDevice(AVCaptureDeviceType::BuiltInWideAngleCamera, AVMediaType::Video,
                                              AVCaptureDevicePosition::Back);
    }
    static std::shared_ptr<AVCaptureDevice> front() {
        return AVCaptureDevice::defaultDevice(AVCaptureDeviceType::BuiltInWideAngleCamera, AVMediaType::Video,
                                              AVCaptureDevicePosition::Front);
    }
    static SyntheticCameraDriver& synthetic(const std::shared_ptr<AVCaptureDevice>& d) {
        return dynamic_cast<SyntheticCameraDriver&>(d->driver());
    }
    // The photos in the library, oldest first.
    static std::vector<std::shared_ptr<PHAsset>> libraryPhotos() {
        auto options = PHFetchOptions::make();
        options->sortDescriptors = {{"creationDate", true}};
        auto result = PHAsset::fetchAssetsWithOptions(options);
        return result ? result->assets() : std::vector<std::shared_ptr<PHAsset>>{};
    }
};
