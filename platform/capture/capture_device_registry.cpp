// Device discovery over the chosen backend.
#include "platform/capture/capture_device_registry.h"

#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/capture/file_camera_capabilities.h"
#include "platform/capture/frame_size_limits.h"
#include "platform/capture/libcamera_camera.h"
#include "platform/capture/synthetic_camera.h"
#include "platform/capture/v4l2_camera.h"
#include "platform/dispatch/result_within.h"
#include "platform/runtime/log.h"

// The picture and video-file sources (image_file_camera.cpp, video_file_camera.cpp).
Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openImageCamera(const CameraSource& source);
Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openVideoFileCamera(const CameraSource& source);

namespace {

struct Registry {
    std::recursive_mutex mutex;
    bool configured = false;
    std::string source;
    std::vector<std::shared_ptr<AVCaptureDevice>> devices;
    std::map<std::string, CaptureDeviceRegistry::Backend> backends;

    Registry() {
        backends["synthetic"] = [](const CameraSource& source) {
            return Result<std::vector<std::shared_ptr<AVCaptureDevice>>>(makeSyntheticCameras(source.size));
        };
        backends["v4l2"] = [](const CameraSource& source) { return openV4l2Cameras(source.argument); };
        backends["image"] = openImageCamera;
        backends["libcamera"] = [](const CameraSource& source) { return openLibcameraCameras(source.argument); };
        backends["video"] = openVideoFileCamera;
    }
};

Registry& registry() {
    static Registry r;
    return r;
}

void ensureConfigured(Registry& r) {
    if (r.configured) return;
    const char* env = std::getenv("KORVA_CAMERA");
    if (auto result = CaptureDeviceRegistry::configure(env && *env ? env : "synthetic"); !result)
        Log::error("capture", "camera source: " + result.error());
}

using Cameras = Result<std::vector<std::shared_ptr<AVCaptureDevice>>>;

// The backend's cameras, opened on a thread of their own: a device, a driver or a file that never
// answers keeps that thread, which the caller leaves behind after `seconds`. What it opens later is
// let go unused.
Cameras openWithin(const CaptureDeviceRegistry::Backend& backend, const CameraSource& source, double seconds) {
    auto cameras = resultWithin<Cameras>(seconds, [backend, source] { return backend(source); });
    if (!cameras) return fail("the source " + didNotAnswerWithin(seconds));
    return std::move(*cameras);
}

}  // namespace

Result<CameraSource> CameraSource::parse(const std::string& text) {
    CameraSource source;
    std::string rest = text;
    auto at = rest.rfind('@');
    auto x = at == std::string::npos ? std::string::npos : rest.find('x', at);
    auto digits = [](const std::string& s) {
        return !s.empty() && s.size() <= 5 && s.find_first_not_of("0123456789") == std::string::npos;
    };
    if (x != std::string::npos && digits(rest.substr(at + 1, x - at - 1)) && digits(rest.substr(x + 1))) {
        int w = std::stoi(rest.substr(at + 1, x - at - 1)), h = std::stoi(rest.substr(x + 1));
        if (w < 1 || h < 1) return fail("the frame size in \"" + text + "\" has a side of no pixels");
        source.size = CMVideoDimensions{w, h};
        if (auto shown = shownFrameSize(*source.size))
            return fail("the frame size in \"" + text + "\" is larger than the preview can show (" +
                        frameSizeText(*shown) + " at most in that shape)");
        rest.resize(at);
    }
    auto colon = rest.find(':');
    source.name = rest.substr(0, colon);
    source.argument = colon == std::string::npos ? "" : rest.substr(colon + 1);
    if (source.name.empty()) return fail("no camera source named in \"" + text + "\"");
    return source;
}

std::vector<std::shared_ptr<AVCaptureDevice>> makeSyntheticCameras(std::optional<CMVideoDimensions> size) {
    auto back = syntheticBackCameraCapabilities(), front = syntheticFrontCameraCapabilities();
    if (size) {
        fitCapabilitiesToSource(back, *size);
        fitCapabilitiesToSource(front, *size);
    }
    return {AVCaptureDevice::make(back, std::make_unique<SyntheticCameraDriver>()),
            AVCaptureDevice::make(front, std::make_unique<SyntheticCameraDriver>())};
}

std::shared_ptr<AVCaptureDevice> makeMicrophone() {
    return AVCaptureDevice::make(microphoneCapabilities(), std::make_unique<SyntheticMicrophoneDriver>());
}

Result<void> CaptureDeviceRegistry::configure(const std::string& source, double limitSeconds) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    std::string chosen = source.empty() ? "synthetic" : source;
    r.configured = true;
    r.source = chosen;
    r.devices = {makeMicrophone()};
    auto parsed = CameraSource::parse(chosen);
    if (!parsed) return fail(parsed.error());
    auto it = r.backends.find(parsed->name);
    if (it == r.backends.end()) return fail("unknown camera source \"" + chosen + "\"");
    if (parsed->size && parsed->name != "synthetic" && parsed->name != "image" && parsed->name != "video")
        return fail("the " + parsed->name + " source takes no frame size");
    auto cameras = openWithin(it->second, *parsed, limitSeconds);
    if (!cameras) return fail(cameras.error());
    r.devices.insert(r.devices.begin(), cameras->begin(), cameras->end());
    return {};
}

std::string CaptureDeviceRegistry::source() {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    ensureConfigured(r);
    return r.source;
}

std::vector<std::shared_ptr<AVCaptureDevice>> CaptureDeviceRegistry::devices() {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    ensureConfigured(r);
    return r.devices;
}

void CaptureDeviceRegistry::reset() {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.configured = false;
    r.source.clear();
    r.devices.clear();
}

void CaptureDeviceRegistry::setDevices(std::vector<std::shared_ptr<AVCaptureDevice>> devices) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.configured = true;
    r.source = "custom";
    r.devices = std::move(devices);
}

void CaptureDeviceRegistry::registerBackend(const std::string& name, Backend backend) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    r.backends[name] = std::move(backend);
}

bool CaptureDeviceRegistry::hasBackend(const std::string& name) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    return r.backends.count(name) > 0;
}

std::vector<std::shared_ptr<AVCaptureDevice>> AVCaptureDevice::devicesWithMediaType(AVMediaType type) {
    std::vector<std::shared_ptr<AVCaptureDevice>> out;
    for (auto& d : CaptureDeviceRegistry::devices())
        if (d->hasMediaType(type)) out.push_back(d);
    return out;
}

std::shared_ptr<AVCaptureDevice> AVCaptureDevice::defaultDeviceWithMediaType(AVMediaType type) {
    auto all = devicesWithMediaType(type);
    if (type == AVMediaType::Video)
        for (auto& d : all)
            if (d->position() == AVCaptureDevicePosition::Back) return d;
    return all.empty() ? nullptr : all.front();
}

std::shared_ptr<AVCaptureDevice> AVCaptureDevice::defaultDevice(AVCaptureDeviceType deviceType, AVMediaType type,
                                                                AVCaptureDevicePosition position) {
    for (auto& d : devicesWithMediaType(type)) {
        bool typeMatches = d->deviceType() == deviceType ||
                           // An external webcam stands in for the built-in camera on a desktop.
                           (deviceType == AVCaptureDeviceType::BuiltInWideAngleCamera &&
                            d->deviceType() == AVCaptureDeviceType::External);
        if (typeMatches && (position == AVCaptureDevicePosition::Unspecified || d->position() == position)) return d;
    }
    return nullptr;
}

std::shared_ptr<AVCaptureDevice> AVCaptureDevice::deviceWithUniqueID(const std::string& uniqueID) {
    for (auto& d : CaptureDeviceRegistry::devices())
        if (d->uniqueID() == uniqueID) return d;
    return nullptr;
}
