// Device: device and screen facts, the platform word, dark mode, the idle-timer and
// network-activity switches, clipboard and orientation. Owns one Haptic and one Vibration.
//
// Screen facts come from the host's screen model; the rest from SystemServices.
// Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/object.h"

class Haptic;
class Vibration;

class Device : public NSObject {
public:
    KORVA_MAKE(Device)

    // The hardware model identifier (the machine field of uname), cached.
    const std::string& name();
    // System name and version, cached.
    const std::string& os();
    // major.minor of the system version; read again while it is nearly zero.
    float osVersion();

    bool IsIPad() const;
    bool isMac() const;
    bool IsIPadNotMac() const { return IsIPad() && !isMac(); }
    bool IsIPadOrMac() const { return IsIPad() || isMac(); }
    // The screen's pixel width over height within 0.01 of the tall phone shapes.
    bool IsIphone5() const;
    bool IsIphoneX() const;
    bool isDarkMode() const;
    float screenWidth() const;
    float screenHeight() const;
    bool isLandscape() const { return screenWidth() > screenHeight(); }
    // Device orientation 3 or 4.
    bool isDeviceLandscape() const;
    // "mac", "ipad" or "iphone".
    std::string platform() const;

    bool isAppInstalled(const std::string& scheme) const;
    // A non-empty text goes to the pasteboard (true); an empty or none text changes nothing.
    bool setClipboard(const std::optional<std::string>& text);
    std::optional<std::string> getClipboard() const;
    // No cloud document store on this host: none and false.
    std::shared_ptr<NSObject> cloudDocToken() const { return nullptr; }
    bool isICloudReady() const { return cloudDocToken() != nullptr; }
    std::optional<std::string> cloudDocRoot() const { return std::nullopt; }
    // The media clock in seconds.
    double currentTime() const;

    bool disableIdle() const { return disableIdle_; }
    void setDisableIdle(bool disable);
    bool networkActivity() const { return networkActivity_; }
    void setNetworkActivity(bool active);
    // Sets the device orientation (1 to 4 turn the screen with it).
    void setOrientation(int orientation);

    std::shared_ptr<Haptic> haptic();
    std::shared_ptr<Vibration> vibration();

    std::string className() const override { return "Device"; }

protected:
    Device() = default;

private:
    bool disableIdle_ = false;
    bool networkActivity_ = false;
    float osVersion_ = 0;
    std::optional<std::string> name_;
    std::optional<std::string> os_;
    std::shared_ptr<Vibration> vibration_;
    std::shared_ptr<Haptic> haptic_;
};
