// AVAudioSession: the app's audio category with its options and mode, activity, the recording
// inputs with a preferred one, and the system output volume. Thread-safe.
//
// The inputs come from a provider that the layer owning the devices installs (the media layer
// lists the capture registry's microphones); tests install their own ports. The interruption
// notification is posted by whoever interrupts (tests post it themselves).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/runtime/key_value_observing.h"
#include "platform/runtime/object.h"
#include "platform/runtime/result.h"

inline constexpr const char* AVAudioSessionCategoryAmbient = "AVAudioSessionCategoryAmbient";
inline constexpr const char* AVAudioSessionCategorySoloAmbient = "AVAudioSessionCategorySoloAmbient";
inline constexpr const char* AVAudioSessionCategoryPlayback = "AVAudioSessionCategoryPlayback";
inline constexpr const char* AVAudioSessionCategoryRecord = "AVAudioSessionCategoryRecord";
inline constexpr const char* AVAudioSessionCategoryPlayAndRecord = "AVAudioSessionCategoryPlayAndRecord";

inline constexpr const char* AVAudioSessionModeDefault = "AVAudioSessionModeDefault";
inline constexpr const char* AVAudioSessionModeMeasurement = "AVAudioSessionModeMeasurement";
inline constexpr const char* AVAudioSessionPortBuiltInMic = "MicrophoneBuiltIn";
inline constexpr const char* AVAudioSessionPortHeadsetMic = "MicrophoneWired";
inline constexpr const char* AVAudioSessionPortBluetoothHFP = "BluetoothHFP";
inline constexpr const char* AVAudioSessionInterruptionNotification = "AVAudioSessionInterruptionNotification";
inline constexpr const char* AVAudioSessionInterruptionTypeKey = "AVAudioSessionInterruptionTypeKey";
inline constexpr const char* AVAudioSessionInterruptionOptionKey = "AVAudioSessionInterruptionOptionKey";
inline constexpr const char* AVAudioSessionInterruptionReasonKey = "AVAudioSessionInterruptionReasonKey";

enum AVAudioSessionCategoryOptions : std::uint64_t {
    AVAudioSessionCategoryOptionNone = 0,
    AVAudioSessionCategoryOptionMixWithOthers = 1,
    AVAudioSessionCategoryOptionDuckOthers = 2,
    AVAudioSessionCategoryOptionAllowBluetooth = 4,
};

class AVAudioSessionPortDescription : public NSObject {
public:
    KORVA_MAKE(AVAudioSessionPortDescription)
    const std::string& portName() const { return name_; }
    const std::string& portType() const { return type_; }
    const std::string& UID() const { return uid_; }
    std::string className() const override { return "AVAudioSessionPortDescription"; }

protected:
    AVAudioSessionPortDescription(std::string name, std::string type, std::string uid)
        : name_(std::move(name)), type_(std::move(type)), uid_(std::move(uid)) {}

private:
    std::string name_, type_, uid_;
};

// "outputVolume" is observable: the shared session tells its observers each change of the system
// volume (the host's volume buttons among them), on the thread that made it.
class AVAudioSession : public NSObject, public KeyValueObservable {
public:
    using InputProvider = std::function<std::vector<std::shared_ptr<AVAudioSessionPortDescription>>()>;

    KORVA_MAKE(AVAudioSession)
    static std::shared_ptr<AVAudioSession> sharedInstance();
    // The source of availableInputs (null: none).
    static void setInputProvider(InputProvider provider);
    static bool hasInputProvider();

    // Sets the options with the category.
    Result<void> setCategory(const std::string& category, std::uint64_t options);
    std::uint64_t categoryOptions() const;
    Result<void> setMode(const std::string& mode);
    std::string mode() const;
    std::vector<std::shared_ptr<AVAudioSessionPortDescription>> availableInputs() const;
    // Fails for a port that is not among the available inputs; null clears the choice.
    Result<void> setPreferredInput(const std::shared_ptr<AVAudioSessionPortDescription>& port);
    std::shared_ptr<AVAudioSessionPortDescription> preferredInput() const;

    std::string category() const;
    // Unknown categories are refused.
    Result<void> setCategory(const std::string& category);
    bool isActive() const;
    Result<void> setActive(bool active);
    // The system volume, 0...1 (see SystemVolume).
    float outputVolume() const;

protected:
    AVAudioSession() = default;

private:
    mutable std::mutex mutex_;
    std::string category_ = AVAudioSessionCategorySoloAmbient;
    bool active_ = false;
    std::uint64_t options_ = 0;
    std::string mode_ = AVAudioSessionModeDefault;
    std::shared_ptr<AVAudioSessionPortDescription> preferred_;
    std::shared_ptr<NSObject> volumeToken_;
};

// Whether the application receives remote-control events (lock screen and headset buttons); the
// application object begins and ends it. Thread-safe.
class RemoteControlEvents {
public:
    static void begin();
    static void end();
    static bool isReceiving();
};
