// Reading the permission preset from the environment.
#include "platform/runtime/permission_preset.h"

#include <cstdlib>
#include <optional>
#include <string_view>

namespace {

// The preset a variable's word names; none for any other word.
std::optional<PermissionPreset> presetNamed(std::string_view word) {
    if (word == "notDetermined") return PermissionPreset::NotDetermined;
    if (word == "denied") return PermissionPreset::Denied;
    if (word == "restricted") return PermissionPreset::Restricted;
    return std::nullopt;
}

}  // namespace

PermissionPreset permissionPresetFromEnvironment(const char* variable) {
    const char* v = std::getenv(variable);
    return presetNamed(v ? v : "").value_or(PermissionPreset::Granted);
}

bool isPermissionPresetWord(std::string_view value) {
    return value.empty() || presetNamed(value).has_value();
}
