// Global: the one application-wide object. It names the settings file, holds the camera
// settings with their defaults, the filter catalogue and the application's share texts.
//
// Main-thread only; shared() itself is thread-safe.
#pragma once

#include <memory>
#include <optional>
#include <string>

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
    void setGeoTagging(bool v) { setBOOL("geoTagging", v); }
    bool frontMirrored() { return getBOOL("frontMirrored", true); }
    void setFrontMirrored(bool v) { setBOOL("frontMirrored", v); }
    // 1 back, 2 front camera.
    std::int64_t position() { return getInteger("position", 1); }
    void setPosition(std::int64_t v) { setInteger("position", v); }
    // 0 off, 1 on, 2 auto.
    std::int64_t flashMode() { return getInteger("flashMode", 2); }
    void setFlashMode(std::int64_t v) { setInteger("flashMode", v); }
    bool gridMode() { return getBOOL("gridMode", true); }
    void setGridMode(bool v) { setBOOL("gridMode", v); }
    // Self-timer seconds: 0, 3, 5 or 10.
    float timerShot() { return getFloat("timerShot", 0.0f); }
    void setTimerShot(float v) { setFloat("timerShot", v); }
    // 0 = 1:1, 1 = 2:3, 2 = 3:4, 3 = 9:16.
    std::int64_t imageRatio() { return getInteger("imageRatio", 2); }
    void setImageRatio(std::int64_t v) { setInteger("imageRatio", v); }
    // 0 photo, 1 burst, 2 motion, 3 video.
    std::int64_t shotMode() { return getInteger("shotMode", 0); }
    void setShotMode(std::int64_t v) { setInteger("shotMode", v); }
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
    std::optional<std::string> appName_;
    std::string snsMessage_;
    std::shared_ptr<FilterPreset> filterPreset_;
};
