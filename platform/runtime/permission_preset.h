// The permission a desktop session starts with, read from an environment variable. A desktop has
// no system prompt, so each kind of permission (camera, photos, location) is granted unless its
// variable says "notDetermined", "denied" or "restricted". Thread-safe.
#pragma once

#include <string_view>

enum class PermissionPreset { Granted, NotDetermined, Denied, Restricted };

PermissionPreset permissionPresetFromEnvironment(const char* variable);
// The words the variables take ("notDetermined", "denied", "restricted"; empty for none): any other
// grants, as an unset variable does.
bool isPermissionPresetWord(std::string_view value);

// The preset in a kind's own status type, whose granted state the caller names.
template <class Status>
Status permissionStatusFromEnvironment(const char* variable, Status granted) {
    switch (permissionPresetFromEnvironment(variable)) {
        case PermissionPreset::NotDetermined: return Status::NotDetermined;
        case PermissionPreset::Denied: return Status::Denied;
        case PermissionPreset::Restricted: return Status::Restricted;
        case PermissionPreset::Granted: break;
    }
    return granted;
}
