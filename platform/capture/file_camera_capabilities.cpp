// The capabilities shared by the picture and video file cameras.
#include "platform/capture/file_camera_capabilities.h"

#include <utility>

AVCaptureDeviceCapabilities fileCameraCapabilities(std::string uniqueID, std::string localizedName, int width,
                                                   int height, CMVideoDimensions photoPresetSize) {
    auto format = [&](int w, int h) {
        AVCaptureDeviceFormat::Description d;
        d.dimensions = {w, h};
        d.highResolutionStillImageDimensions = {width, height};
        d.videoMaxZoomFactor = 8;
        d.frameRates = {1, 30};
        return AVCaptureDeviceFormat::make(d);
    };
    AVCaptureDeviceCapabilities c;
    c.uniqueID = std::move(uniqueID);
    c.localizedName = std::move(localizedName);
    c.position = AVCaptureDevicePosition::Back;
    c.deviceType = AVCaptureDeviceType::External;
    c.focusModes = {AVCaptureFocusMode::Locked};
    c.exposureModes = {AVCaptureExposureMode::Locked};
    c.whiteBalanceModes = {AVCaptureWhiteBalanceMode::Locked};
    c.formats = {format(1920, 1080), format(3840, 2160), format(width, height), format(1280, 720), format(640, 480)};
    namespace P = AVCaptureSessionPreset;
    c.presets = {
        {P::Photo, {2, photoPresetSize}},    {P::High, {0, {1920, 1080}}},         {P::Medium, {4, {480, 360}}},
        {P::Low, {4, {192, 144}}},           {P::P1920x1080, {0, {1920, 1080}}},   {P::P3840x2160, {1, {3840, 2160}}},
        {P::P1280x720, {3, {1280, 720}}},    {P::P640x480, {4, {640, 480}}},       {P::P352x288, {4, {352, 288}}},
        {P::IFrame960x540, {0, {960, 540}}}, {P::IFrame1280x720, {3, {1280, 720}}}};
    return c;
}
