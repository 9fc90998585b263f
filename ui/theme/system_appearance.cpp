// The appearance version check.
#include "ui/theme/system_appearance.h"

#include "foundation/device.h"
#include "foundation/global.h"
#include "foundation/system_services.h"

namespace {
constexpr float kAppearanceVersion = 13;
constexpr const char* kPhoneSystem = "iOS";
}  // namespace

bool hasSystemAppearance() {
    if (SystemServices::shared()->systemName() != kPhoneSystem) return true;
    return Global::shared()->device()->osVersion() >= kAppearanceVersion;
}
