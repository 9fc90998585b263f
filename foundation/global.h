// Global: the one application-wide object. It names the settings file, holds the camera
// settings with their defaults, the filter catalogue and the application's share texts.
//
// Main-thread only; shared() itself is thread-safe.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "foundation/camera_settings.h"
#include "foundation/global_base.h"

class FilterPreset;

class Global : public GlobalBase {
public:
    KORVA_MAKE(Global)

    // Made on the first call, then the same object for the life of the process.
    static std::shared_ptr<Global> shared();
    // Tests only: forgets the singleton, so that the next shared() makes a new one (for example
    // over another data folder).
    static void resetSharedForTesting();

    // "Global.1" in the library directory.
    std::optional<std::string> getLastInfoPath() const override;
    void reset() override;

    // The filter catalogue, made by the filter engine's registered maker.
    std::shared_ptr<FilterPreset> filterPreset();
    void setFilterPreset(std::shared_ptr<FilterPreset> preset) { filterPreset_ = std::move(preset); }

    // Camera settings. Setters change memory only; saveCurrentSettings keeps them.
    bool geoTagging() { return getBOOL("geoTagging", false); }
    // A change is posted as kGeoTaggingChangedNotification, so that a running camera can start or
    // stop its location fixes at once.
    void setGeoTagging(bool v);
    static constexpr const char* kGeoTaggingChangedNotification = "GlobalGeoTaggingChanged";
    bool frontMirrored() { return getBOOL("frontMirrored", true); }
    void setFrontMirrored(bool v) { setBOOL("frontMirrored", v); }
    // Stored as 1 back, 2 front.
    CameraSide position() { return getSetting<CameraSide>("position"); }
    void setPosition(CameraSide v) { setInteger("position", integerOf(v)); }
    // Stored as 0 off, 1 on, 2 auto.
    FlashMode flashMode() { return getSetting<FlashMode>("flashMode"); }
    void setFlashMode(FlashMode v) { setInteger("flashMode", integerOf(v)); }
    // The flash mode moved to one the camera takes, not chosen by the user (see fitInteger).
    void fitFlashMode(FlashMode v) { fitInteger("flashMode", integerOf(v)); }
    bool gridMode() { return getBOOL("gridMode", true); }
    void setGridMode(bool v) { setBOOL("gridMode", v); }
    // Self-timer seconds: 0, 3, 5 or 10.
    float timerShot() { return getFloat("timerShot", 0.0f); }
    void setTimerShot(float v) { setFloat("timerShot", v); }
    // Stored as 0 = 1:1, 1 = 2:3, 2 = 3:4, 3 = 9:16.
    ImageRatio imageRatio() { return getSetting<ImageRatio>("imageRatio"); }
    void setImageRatio(ImageRatio v) { setInteger("imageRatio", integerOf(v)); }
    // Stored as 0 photo, 1 burst, 2 motion, 3 video.
    ShotMode shotMode() { return getSetting<ShotMode>("shotMode"); }
    void setShotMode(ShotMode v) { setInteger("shotMode", integerOf(v)); }
    // Always on: the camera takes the live frame silently. The stored value is kept but not read.
    bool silentMode() { return true; }
    void setSilentMode(bool v) { setBOOL("silentMode", v); }
    std::optional<std::string> lastFilterName() { return getString("lastFilterName", std::nullopt); }
    void setLastFilterName(std::optional<std::string> v) { setString("lastFilterName", std::move(v)); }

    // appNameMenu with subName after a blank, unless empty or already part of it; cached.
    const std::string& appName();
    virtual std::string subName() const { return {}; }
    // appName, then " '<filter>'" when a filter name is set.
    std::string appMetadataName();
    std::string snsMessage() const { return "#KORVA\n\n"; }
    // Kept, but the share text is fixed.
    void setSnsMessage(std::string message) { snsMessage_ = std::move(message); }

    std::string className() const override { return "Global"; }

protected:
    Global() = default;

private:
    template <class E>
    E getSetting(const std::string& key) {
        return settingFromInteger<E>(getInteger(key, integerOf(CameraSetting<E>::fallback)));
    }

    std::optional<std::string> appName_;
    std::string snsMessage_;
    std::shared_ptr<FilterPreset> filterPreset_;
};
