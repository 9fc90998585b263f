// CaptureChoices over its store file.
#include "foundation/capture_choices.h"

#include "foundation/last_info.h"
#include "foundation/string_custom_paths.h"

std::shared_ptr<LastInfo> CaptureChoices::lastInfo() {
    if (!lastInfo_) lastInfo_ = LastInfo::make(withLibraryPath("Global.Value.1"));
    return lastInfo_;
}

const std::string& CaptureChoices::read(std::optional<std::string>& field, const char* key, const char* fallback) {
    if (!field) {
        Value stored = lastInfo()->get(key);
        field = stored.isString() && !stored.string()->empty() ? *stored.string() : std::string(fallback);
    }
    return *field;
}

const std::string& CaptureChoices::colorSpace() {
    return read(colorSpace_, "colorSpace", kColorSpaceNone);
}
const std::string& CaptureChoices::sessionPreset() {
    return read(sessionPreset_, "sessionPreset", kSessionPresetPhoto);
}

void CaptureChoices::save() {
    lastInfo()->set(Value(colorSpace()), "colorSpace");
    lastInfo()->set(Value(sessionPreset()), "sessionPreset");
    lastInfo()->save();
}
