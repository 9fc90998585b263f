// AVCaptureDeviceFormat: one mode a camera can run in, with the ranges the controls accept.
#pragma once

#include <memory>

#include "platform/capture/av_capture_types.h"
#include "platform/runtime/object.h"

struct AVFrameRateRange {
    double minFrameRate = 1, maxFrameRate = 30;
};

class AVCaptureDeviceFormat : public NSObject {
public:
    struct Description {
        AVMediaType mediaType = AVMediaType::Video;
        CMVideoDimensions dimensions{1920, 1080};
        // The size of a full-resolution photo taken in this format.
        CMVideoDimensions highResolutionStillImageDimensions{4032, 3024};
        CMTime minExposureDuration = CMTimeMake(1, 8000);
        CMTime maxExposureDuration = CMTimeMake(1, 3);
        float minISO = 25, maxISO = 1600;
        double videoMaxZoomFactor = 16;
        AVFrameRateRange frameRates{};
        float videoFieldOfView = 65;
        // Audio formats.
        double sampleRate = 44100;
        int channels = 1;
    };

    KORVA_MAKE(AVCaptureDeviceFormat)

    AVMediaType mediaType() const { return d_.mediaType; }
    CMVideoDimensions dimensions() const { return d_.dimensions; }
    CMVideoDimensions highResolutionStillImageDimensions() const { return d_.highResolutionStillImageDimensions; }
    CMTime minExposureDuration() const { return d_.minExposureDuration; }
    CMTime maxExposureDuration() const { return d_.maxExposureDuration; }
    float minISO() const { return d_.minISO; }
    float maxISO() const { return d_.maxISO; }
    double videoMaxZoomFactor() const { return d_.videoMaxZoomFactor; }
    AVFrameRateRange videoSupportedFrameRateRanges() const { return d_.frameRates; }
    float videoFieldOfView() const { return d_.videoFieldOfView; }

protected:
    explicit AVCaptureDeviceFormat(Description d) : d_(d) {}

private:
    Description d_;
};
