// The camera screen's world outside the tests (the gallery and the camera benchmarks): a sandbox
// and a photo library under one folder with access to both granted, and the application's
// services and controllers registered on a fresh storyboard.
#pragma once

#include <filesystem>

#include "app/shell/app_registry.h"
#include "camera/screen/camera_registry.h"
#include "capture/capture_services.h"
#include "filter/filter_preset.h"
#include "foundation/global.h"
#include "platform/capture/capture_authorization.h"
#include "platform/photos/ph_authorization.h"
#include "platform/photos/ph_photo_library.h"
#include "platform/storage/sandbox.h"
#include "platform/ui/controller/ui_storyboard.h"
#include "ui/ui_services.h"

// `dir` holds "data" (the sandbox) and "library" (the photos).
inline void prepareCameraScreenWorld(const std::filesystem::path& dir) {
    std::filesystem::create_directories(dir / "data");
    Sandbox::setRoot((dir / "data").string());
    Global::resetSharedForTesting();
    PHPhotoLibrary::setLibraryDirectory((dir / "library").string());
    PhotoLibraryAuthorization::setStatus(PHAuthorizationStatus::Authorized);
    CaptureAuthorization::setStatus(AVMediaType::Video, AVAuthorizationStatus::Authorized);
    registerUIServices();
    registerFilterServices();
    registerCaptureServices();
    UIStoryboard::resetMainStoryboard();
    registerAppControllers(UIStoryboard::mainStoryboard());
    registerCameraControllers(UIStoryboard::mainStoryboard());
}
