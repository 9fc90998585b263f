// The host's choice of camera backend and the devices it gives.
//
// Sources: "synthetic" (the default), "v4l2:/dev/videoN" (or "v4l2:" for every webcam),
// "image:PATH", and "libcamera[:ID]" and "video:PATH" where the camera stack and FFmpeg are
// installed; the file sources read regular files only (no pipes, devices or addresses). The
// synthetic, image and video sources take a frame size after an "@" ("synthetic@1280x720",
// "video:clip.mp4@640x480"); without one a file source gives frames at the file's own size. Until
// the host calls configure(), the environment variable KORVA_CAMERA chooses. A microphone is always
// present. Devices are made on first use and kept until reset(). Thread-safe.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/capture/av_capture_device.h"
#include "platform/runtime/result.h"

// A source as written: "name[:argument][@WIDTHxHEIGHT]".
struct CameraSource {
    std::string name, argument;
    std::optional<CMVideoDimensions> size;
    // Fails on an empty name, or a size suffix with a side of no pixels or one larger than the
    // preview can show (kLargestShownFrameSide).
    static Result<CameraSource> parse(const std::string& text);
};

class CaptureDeviceRegistry {
public:
    using Backend = std::function<Result<std::vector<std::shared_ptr<AVCaptureDevice>>>(const CameraSource& source)>;

    // A source whose opening takes longer is given up: a device or a driver may keep it waiting
    // for ever, and the program then runs without a camera.
    static constexpr double kOpenLimitSeconds = 4;

    // Chooses the source; the devices are made at once so that a bad source, or one that does not
    // answer within `limitSeconds`, is reported here. On failure no camera is listed (the
    // microphone still is).
    static Result<void> configure(const std::string& source, double limitSeconds = kOpenLimitSeconds);
    static std::string source();
    static std::vector<std::shared_ptr<AVCaptureDevice>> devices();
    // Drops the devices and the choice; the next use configures from the environment again.
    static void reset();
    // Replaces the devices with the given ones (tests with scripted capabilities).
    static void setDevices(std::vector<std::shared_ptr<AVCaptureDevice>> devices);

    static void registerBackend(const std::string& name, Backend backend);
    static bool hasBackend(const std::string& name);
};

// The synthetic cameras (back and front) as the "synthetic" backend makes them; with a size, both
// give frames and photos of that size and no larger.
std::vector<std::shared_ptr<AVCaptureDevice>> makeSyntheticCameras(std::optional<CMVideoDimensions> size = {});
std::shared_ptr<AVCaptureDevice> makeMicrophone();
