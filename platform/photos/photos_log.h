// The log category of the photo library's lines.
#pragma once

inline constexpr const char* kPhotosLog = "photos";
