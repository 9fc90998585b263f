// The permission preset read from the environment, and its mapping into a status type.
#include "platform/runtime/permission_preset.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

constexpr const char* kVariable = "KORVA_TEST_PERMISSION_PRESET";

enum class SampleStatus { NotDetermined, Restricted, Denied, Allowed };

PermissionPreset presetFor(const char* value) {
    if (value)
        setenv(kVariable, value, 1);
    else
        unsetenv(kVariable);
    auto preset = permissionPresetFromEnvironment(kVariable);
    unsetenv(kVariable);
    return preset;
}

}  // namespace

TEST(PermissionPresetTest, OnlyTheThreeWordsWithholdPermission) {
    EXPECT_EQ(presetFor("notDetermined"), PermissionPreset::NotDetermined);
    EXPECT_EQ(presetFor("denied"), PermissionPreset::Denied);
    EXPECT_EQ(presetFor("restricted"), PermissionPreset::Restricted);
    // Unset, empty, unknown or differently cased values leave the permission granted.
    for (const char* value : {static_cast<const char*>(nullptr), "", "granted", "Denied", "denied "})
        EXPECT_EQ(presetFor(value), PermissionPreset::Granted) << (value ? value : "(unset)");
}

TEST(PermissionPresetTest, MapsIntoTheCallersStatusType) {
    setenv(kVariable, "restricted", 1);
    EXPECT_EQ(permissionStatusFromEnvironment(kVariable, SampleStatus::Allowed), SampleStatus::Restricted);
    setenv(kVariable, "notDetermined", 1);
    EXPECT_EQ(permissionStatusFromEnvironment(kVariable, SampleStatus::Allowed), SampleStatus::NotDetermined);
    unsetenv(kVariable);
    EXPECT_EQ(permissionStatusFromEnvironment(kVariable, SampleStatus::Allowed), SampleStatus::Allowed);
}
