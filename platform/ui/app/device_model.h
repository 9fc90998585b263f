// The devices the host can play: screen size in points, scale, safe areas and idiom.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/runtime/geometry.h"
#include "platform/ui/view/ui_edge_insets.h"

enum class UIUserInterfaceIdiom { Unspecified = -1, Phone = 0, Pad = 1 };

struct DeviceModel {
    std::string name;
    CGSize portraitSize;  // points
    CGFloat scale = 1;    // pixels per point
    UIEdgeInsets portraitSafeArea;
    UIEdgeInsets landscapeSafeArea;  // with the top of the device turned to the left
    UIUserInterfaceIdiom idiom = UIUserInterfaceIdiom::Phone;
    CGFloat statusBarHeight = 20;  // points, across the top of the screen while it shows

    // "notched" (the default: a tall phone with a sensor notch and a home indicator), "home-button"
    // (a phone with a status bar only) and "tablet".
    static std::optional<DeviceModel> named(std::string_view name);
    static const DeviceModel& defaultModel();
    static std::vector<std::string> names();
};
