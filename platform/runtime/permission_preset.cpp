// Reading the permission preset from the environment.
#include "platform/runtime/permission_preset.h"

#include <cstdlib>
#include <string_view>

PermissionPreset permissionPresetFromEnvironment(const char* variable) {
    const char* v = std::getenv(variable);
    std::string_view e = v ? v : "";
    if (e == "notDetermined") return PermissionPreset::NotDetermined;
    if (e == "denied") return PermissionPreset::Denied;
    if (e == "restricted") return PermissionPreset::Restricted;
    return PermissionPreset::Granted;
}

bool isPermissionPresetWord(std::string_view value) {
    return value.empty() || value == "notDetermined" || value == "denied" || value == "restricted";
}
