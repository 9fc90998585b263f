// The side menu's image-size choice: the capture presets the current camera side can take, shown
// in the value list; the chosen one becomes the session preset.
#include "capture/capture_device_custom.h"
#include "capture/string_custom_capture.h"
#include "foundation/capture_choices.h"
#include "foundation/device.h"
#include "foundation/global.h"
#include "platform/capture/av_capture_device.h"
#include "platform/capture/av_capture_input.h"
#include "platform/capture/av_capture_session.h"
#include "platform/capture/av_capture_types.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "settings/left/left_controller.h"
#include "ui/controller/view_controller_presentation.h"

namespace {
constexpr float k4KSystemVersion = 9.0f;

// Appends the pair when the platform knows the preset.
void addOption(std::vector<LeftController::Preset>& list, const std::string& preset, const std::string& label) {
    if (!preset.empty()) list.emplace_back(preset, label);
}
}  // namespace

const std::vector<LeftController::Preset>& LeftController::sessionPresets() {
    if (sessionPresets_) return *sessionPresets_;
    namespace P = AVCaptureSessionPreset;
    std::vector<Preset> candidates;
    addOption(candidates, P::Photo, "Default");
    addOption(candidates, P::High, "Small");
    addOption(candidates, P::Medium, "Smaller");
    addOption(candidates, P::Low, "Smallest");
    if (Global::shared()->device()->osVersion() >= k4KSystemVersion) addOption(candidates, P::P3840x2160, "3840x2160");
    addOption(candidates, P::P1920x1080, "1920x1080");
    addOption(candidates, P::P1280x720, "1280x720");
    addOption(candidates, P::P640x480, "640x480");
    addOption(candidates, P::P352x288, "352x288");
    addOption(candidates, P::IFrame1280x720, "iFrame1280x720");

    std::vector<Preset> usable;
    if (auto device = deviceWithMediaType(AVMediaType::Video, integerOf(Global::shared()->position()))) {
        auto session = AVCaptureSession::make();
        auto input = AVCaptureDeviceInput::deviceInputWithDevice(device);
        if (input && session->canAddInput(*input)) session->addInput(*input);
        for (const auto& candidate : candidates)
            if (session->canSetSessionPreset(candidate.first) &&
                device->supportsAVCaptureSessionPreset(candidate.first))
                usable.push_back(candidate);
    }
    sessionPresets_ = std::move(usable);
    return *sessionPresets_;
}

void LeftController::showImageSizes() {
    valueMode_ = 0;
    shownPresets_ = sessionPresets();
    auto global = Global::shared();
    const std::string current = global->value()->sessionPreset();
    std::vector<std::string> labels;
    std::string def = "Default";
    for (const auto& [preset, label] : shownPresets_) {
        labels.push_back(label);
        if (preset == current) def = label;
    }
    auto list = ValueTableBasicController::make();
    list->setArr(std::move(labels));
    list->setDef(def);
    list->setDelegate(self<LeftController>());
    list->setTextTitle(fromDevicePosition(integerOf(global->position())).value_or("") + " Camera: Image Size");
    present(self<UIViewController>(), UINavigationController::withRoot(list), nullptr, true);
}

void LeftController::onValueTableBasicControllerSelected(ValueTableBasicController&, const std::string&, long index) {
    // The index counts in the list the choice showed; one that is not there changes nothing.
    if (valueMode_ == 0 && index >= 0 && std::size_t(index) < shownPresets_.size()) {
        auto global = Global::shared();
        global->value()->setSessionPreset(shownPresets_[std::size_t(index)].first);
        global->value()->save();
        global->saveCurrentSettings();
    }
    dismiss(self<UIViewController>(), nullptr, true);
    updateData();
}

void LeftController::onValueTableBasicControllerCanceled(ValueTableBasicController&) {
    dismiss(self<UIViewController>(), nullptr, true);
    updateView();
}
