// Builds without the Linux camera stack: the source reports that it is not there.
#include "platform/capture/libcamera_camera.h"

Result<std::vector<std::shared_ptr<AVCaptureDevice>>> openLibcameraCameras(const std::string&) {
    return fail("this build has no libcamera support");
}
