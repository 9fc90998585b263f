// What a camera assistant reports, and the controller it shows its permission alerts on.
#pragma once

#include <functional>
#include <memory>
#include <string>

class CameraAssistant;

// Every event is optional. Events come on the main queue.
class CameraAssistantDelegate {
public:
    virtual ~CameraAssistantDelegate() = default;
    virtual void onCameraAssistantMotionOrientation(const std::shared_ptr<CameraAssistant>&, std::int64_t o) {
        (void)o;
    }
    virtual void onCameraAssistantMotionGravity(const std::shared_ptr<CameraAssistant>&, double x, double y, double z) {
        (void)x, (void)y, (void)z;
    }
    virtual void onCameraAssistantMotionRequestFocusUpdate(const std::shared_ptr<CameraAssistant>&, bool bigMove) {
        (void)bigMove;
    }
    virtual void onCameraAssistantCameraAuthDenied(const std::shared_ptr<CameraAssistant>&) {}
    virtual void onCameraAssistantCameraAuthApproved(const std::shared_ptr<CameraAssistant>&) {}
    virtual void onCameraAssistantMicrophoneAuthDenied(const std::shared_ptr<CameraAssistant>&) {}
    virtual void onCameraAssistantMicrophoneAuthApproved(const std::shared_ptr<CameraAssistant>&) {}
    virtual void onCameraAssistantPhotoChanged(const std::shared_ptr<CameraAssistant>&) {}
    virtual void onCameraAssistantVolumeButton(const std::shared_ptr<CameraAssistant>&) {}
    virtual void onCameraAssistantVolumeDblButton(const std::shared_ptr<CameraAssistant>&) {}
    virtual void onCameraAssistantLocationAuthChanged(const std::shared_ptr<CameraAssistant>&) {}
    // Whether the user wants geotagging.
    virtual bool onCameraAssistantLocationGetUserSetting(const std::shared_ptr<CameraAssistant>&) { return false; }
    virtual void onCameraAssistantLocationSetUserSetting(const std::shared_ptr<CameraAssistant>&, bool b) { (void)b; }
};

// The view controller that starts the assistant: the screen implements these with its alert
// helpers (an alert with one OK button, a yes/no question, the app's page in the device settings).
class CameraAssistantPresenter {
public:
    virtual ~CameraAssistantPresenter() = default;
    virtual void alert(const std::string& message, std::function<void()> onOK) = 0;
    virtual void confirm(const std::string& message, std::function<void()> onYes, std::function<void()> onNo) = 0;
    virtual void openDeviceSettings() = 0;
};
