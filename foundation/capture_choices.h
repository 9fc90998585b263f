// CaptureChoices: the two remembered capture choices, the preview context's working colour space
// and the capture session preset, in "Global.Value.1". Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/object.h"

class LastInfo;

class CaptureChoices : public NSObject {
public:
    KORVA_MAKE(CaptureChoices)

    // No colour management.
    static constexpr const char* kColorSpaceNone = "kCGColorSpaceNULL";
    static constexpr const char* kSessionPresetPhoto = "AVCaptureSessionPresetPhoto";

    // Read from the store on first access, else the default; held from then on.
    const std::string& colorSpace();
    const std::string& sessionPreset();
    // Change memory only, until save.
    void setColorSpace(std::string name) { colorSpace_ = std::move(name); }
    void setSessionPreset(std::string name) { sessionPreset_ = std::move(name); }
    // Stores both values and writes the file.
    void save();

    std::shared_ptr<LastInfo> lastInfo();

    std::string className() const override { return "CaptureChoices"; }

protected:
    CaptureChoices() = default;

private:
    const std::string& read(std::optional<std::string>& field, const char* key, const char* fallback);

    std::optional<std::string> colorSpace_;
    std::optional<std::string> sessionPreset_;
    std::shared_ptr<LastInfo> lastInfo_;
};
