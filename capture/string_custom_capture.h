// Display names of capture settings; none outside the listed values.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "foundation/camera_settings.h"

// 0 "OFF", 1 "ON", 2 "AUTO".
std::optional<std::string> fromTorchMode(std::int64_t mode);
std::optional<std::string> fromFlashMode(std::int64_t mode);
// 0 "LOCKED", 1 "AUTO", 2 "CONTINUOUS AUTO".
std::optional<std::string> fromFocusMode(std::int64_t mode);
std::optional<std::string> fromWhiteBalance(std::int64_t mode);
// As focus, plus 3 "CUSTOM".
std::optional<std::string> fromExposureMode(std::int64_t mode);
// 0 "UNSPECIFIED", 1 "BACK", 2 "FRONT".
std::optional<std::string> fromDevicePosition(std::int64_t position);
// "OFF" for a nearly zero time, else the seconds as "%0.0f s".
std::string fromTimerShot(double seconds);
// "1:1", "2:3", "3:4" or "9:16".
std::string fromImageRatio(ImageRatio ratio);
