// Device discovery over the chosen backend.
#include "platform/capture/capture_device_registry.h"

#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/capture/libcamera_camera.h"
#include "platform/capture/synthetic_camera.h"
#include "platform/capture/v4l2_camera.h"
#include "platform/runtime/log.h"

// The picture and video-file sources (image_file_camera.cpp, video_file_camera.cpp).
Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openImageCamera(const std::string& argument);
Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openVideoFileCamera(const std::string& argument);

namespace {

struct Registry {
    std::recursive_mutex mutex;
    bool configured = false;
    std::string source;
    std::vector<std::shared_ptr<AVCaptureDevice>> devices;
    std::map<std::string, CaptureDeviceRegistry::Backend> backends;

    Registry() {
        backends["synthetic"] = [](const std::string&) {
            return Result<std::vector<std::shared_ptr<AVCaptureDevice>>>(makeSyntheticCameras());
        };
        backends["v4l2"] = openV4l2Cameras;
        backends["image"] = openImageCamera;
        backends["libcamera"] = openLibcameraCameras;
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

}  // namespace

std::vector<std::shared_ptr<AVCaptureDevice>> makeSyntheticCameras() {
    return {AVCaptureDevice::make(syntheticBackCameraCapabilities(), std::make_unique<SyntheticCameraDriver>()),
            AVCaptureDevice::make(syntheticFrontCameraCapabilities(), std::make_unique<SyntheticCameraDriver>())};
}

std::shared_ptr<AVCaptureDevice> makeMicrophone() {
    return AVCaptureDevice::make(microphoneCapabilities(), std::make_unique<SyntheticMicrophoneDriver>());
}

Result<void> CaptureDeviceRegistry::configure(const std::string& source) {
    auto& r = registry();
    std::lock_guard lock(r.mutex);
    std::string chosen = source.empty() ? "synthetic" : source;
    auto colon = chosen.find(':');
    std::string name = chosen.substr(0, colon), argument = colon == std::string::npos ? "" : chosen.substr(colon + 1);
    r.configured = true;
    r.source = chosen;
    r.devices = {makeMicrophone()};
    auto it = r.backends.find(name);
    if (it == r.backends.end()) return fail("unknown camera source \"" + chosen + "\"");
    auto cameras = it->second(argument);
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
