// SystemServices: the device's own services the application asks for beyond the screen: system
// name and version, device orientation, pasteboard, network-activity indicator, haptic feedback,
// system sounds, the music player's volume and background-execution grants.
//
// This computer has no haptic motor, speaker alert or background scheduler for the application,
// so requests are recorded (the host and tests read them back) and background grants expire on
// the clock after their allowance. The host may replace the shared instance at start-up.
// Main-thread only.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/object.h"

class NSTimer;

enum class FeedbackKind { Impact, Selection, NotificationSuccess };

using UIBackgroundTaskIdentifier = std::uint64_t;
inline constexpr UIBackgroundTaskIdentifier UIBackgroundTaskInvalid = 0;

class SystemServices : public NSObject {
public:
    KORVA_MAKE(SystemServices)

    static std::shared_ptr<SystemServices> shared();
    // The host's own instance; none goes back to a fresh default one (tests).
    static void setShared(std::shared_ptr<SystemServices> services);

    // Facts.
    const std::string& systemName() const { return systemName_; }
    const std::string& systemVersion() const { return systemVersion_; }
    void setSystem(std::string name, std::string version);
    // A phone or tablet application running on a desktop host.
    bool isiOSAppOnMac() const { return onMac_; }
    void setiOSAppOnMac(bool onMac) { onMac_ = onMac; }
    // 0 unknown, 1 portrait, 2 upside down, 3 landscape left, 4 landscape right, 5 face up, 6 face down.
    int deviceOrientation() const { return orientation_; }
    void setDeviceOrientation(int orientation) { orientation_ = orientation; }
    // URL schemes of other applications that can be opened.
    void setInstalledSchemes(std::vector<std::string> schemes) { schemes_ = std::move(schemes); }
    bool canOpenScheme(const std::string& scheme) const;

    // The platform's general pasteboard, which copy in the views uses too.
    std::optional<std::string> pasteboardString() const;
    void setPasteboardString(std::string text);

    bool networkActivityIndicatorVisible() const { return networkActivity_; }
    void setNetworkActivityIndicatorVisible(bool visible) { networkActivity_ = visible; }

    // Recorded requests, oldest first ("impact", "prepare selection", "sound 4095", ...).
    void prepareFeedback(FeedbackKind kind);
    void playFeedback(FeedbackKind kind);
    void playSystemSound(std::uint32_t soundID);
    const std::vector<std::string>& requests() const { return requests_; }
    void clearRequests() { requests_.clear(); }

    float musicVolume() const { return musicVolume_; }
    // Clamped to 0...1.
    void setMusicVolume(float volume);

    // A grant of background time; the expiration handler runs on the main run loop when the
    // allowance runs out before the grant is ended. Identifiers are never reused. A host backed by
    // a real scheduler overrides the pair; there an expiration can cross an end already asked for,
    // so a handler must not assume its grant is still the one its owner holds.
    virtual UIBackgroundTaskIdentifier beginBackgroundTask(std::function<void()> expiration);
    virtual void endBackgroundTask(UIBackgroundTaskIdentifier identifier);
    // Seconds until the earliest live grant expires; 0 with no live grant.
    double backgroundTimeRemaining() const;
    std::size_t liveBackgroundTasks() const { return grants_.size(); }
    double backgroundAllowance() const { return allowance_; }
    void setBackgroundAllowance(double seconds) { allowance_ = seconds; }

    std::string className() const override { return "SystemServices"; }

protected:
    SystemServices();

private:
    struct Grant {
        double deadline = 0;
        std::shared_ptr<NSTimer> timer;
    };
    void expire(UIBackgroundTaskIdentifier identifier, std::function<void()> expiration);

    std::string systemName_;
    std::string systemVersion_;
    bool onMac_ = false;
    int orientation_ = 1;
    std::vector<std::string> schemes_;
    bool networkActivity_ = false;
    std::vector<std::string> requests_;
    float musicVolume_ = 0.5f;
    double allowance_ = 30.0;
    UIBackgroundTaskIdentifier nextGrant_ = 1;
    std::map<UIBackgroundTaskIdentifier, Grant> grants_;
};
