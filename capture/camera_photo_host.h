// CameraPhotoHost: the capture host of still photography (camera, no microphone).
#pragma once

#include "capture/camera_host.h"

class CameraPhotoHost : public CameraHost {
public:
    KORVA_MAKE(CameraPhotoHost)
    std::string className() const override { return "CameraPhotoHost"; }

protected:
    CameraPhotoHost() : CameraHost(true, false) {}
};
