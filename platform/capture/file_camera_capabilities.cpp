// The capabilities shared by the picture and video file cameras, and a camera narrowed to a size.
#include "platform/capture/file_camera_capabilities.h"

#include <string_view>
#include <utility>

void fitCapabilitiesToSource(AVCaptureDeviceCapabilities& c, CMVideoDimensions size) {
    AVCaptureDeviceFormat::Description d;
    if (!c.formats.empty()) {
        const auto& f = *c.formats.front();
        d.mediaType = f.mediaType();
        d.minExposureDuration = f.minExposureDuration();
        d.maxExposureDuration = f.maxExposureDuration();
        d.minISO = f.minISO();
        d.maxISO = f.maxISO();
        d.videoMaxZoomFactor = f.videoMaxZoomFactor();
        d.frameRates = f.videoSupportedFrameRateRanges();
        d.videoFieldOfView = f.videoFieldOfView();
    }
    d.dimensions = size;
    d.highResolutionStillImageDimensions = size;
    c.formats = {AVCaptureDeviceFormat::make(d)};

    namespace P = AVCaptureSessionPreset;
    struct Fixed {
        const char* preset;
        int w, h;
    };
    static const Fixed fixed[] = {
        {P::Medium, 480, 360},       {P::Low, 192, 144},           {P::P1920x1080, 1920, 1080},
        {P::P3840x2160, 3840, 2160}, {P::P1280x720, 1280, 720},    {P::P640x480, 640, 480},
        {P::P352x288, 352, 288},     {P::IFrame960x540, 960, 540}, {P::IFrame1280x720, 1280, 720}};
    bool tall = size.height > size.width;
    c.presets.clear();
    c.presets[P::Photo] = {0, size};
    c.presets[P::High] = {0, size};
    for (const auto& f : fixed) {
        CMVideoDimensions out = tall ? CMVideoDimensions{f.h, f.w} : CMVideoDimensions{f.w, f.h};
        // The photo road asks for 4K before Photo: offered below the source's own size, it would
        // shrink every frame and photo of a larger source to a 16:9 4K frame.
        if (std::string_view(f.preset) == P::P3840x2160 && (out.width != size.width || out.height != size.height))
            continue;
        if (out.width <= size.width && out.height <= size.height) c.presets[f.preset] = {0, out};
    }
}

AVCaptureDeviceCapabilities fileCameraCapabilities(std::string uniqueID, std::string localizedName, int width,
                                                   int height) {
    AVCaptureDeviceCapabilities c;
    c.uniqueID = std::move(uniqueID);
    c.localizedName = std::move(localizedName);
    c.position = AVCaptureDevicePosition::Back;
    c.deviceType = AVCaptureDeviceType::External;
    c.focusModes = {AVCaptureFocusMode::Locked};
    c.exposureModes = {AVCaptureExposureMode::Locked};
    c.whiteBalanceModes = {AVCaptureWhiteBalanceMode::Locked};
    c.framesUpright = true;
    AVCaptureDeviceFormat::Description d;
    d.videoMaxZoomFactor = 8;
    d.frameRates = {1, 30};
    c.formats = {AVCaptureDeviceFormat::make(d)};
    fitCapabilitiesToSource(c, {width, height});
    return c;
}
