// Enumerations and small values of the photo library, with the platform's numbering.
#pragma once

#include <cstdint>
#include <optional>

enum class PHAuthorizationStatus : std::int64_t {
    NotDetermined = 0,
    Restricted = 1,
    Denied = 2,
    Authorized = 3,
    Limited = 4
};
enum class PHAccessLevel : std::int64_t { AddOnly = 1, ReadWrite = 2 };
enum class PHAssetMediaType : std::int64_t { Unknown = 0, Image = 1, Video = 2, Audio = 3 };
enum class PHAssetResourceType : std::int64_t { Photo = 1, Video = 2, Audio = 3 };

inline constexpr const char* PHPhotosErrorDomain = "PHPhotosErrorDomain";
enum PHPhotosError : std::int64_t {
    PHPhotosErrorInvalid = -1,
    PHPhotosErrorAccessRestricted = 3310,
    PHPhotosErrorAccessUserDenied = 3311,
    PHPhotosErrorInvalidResource = 3302,
    PHPhotosErrorNotEnoughSpace = 3305,
    PHPhotosErrorOperationInterrupted = 3301,
};

// Where a photo was taken (a subset of the location service's fix, so that the library does not
// depend on the sensors).
struct PHAssetLocation {
    double latitude = 0, longitude = 0, altitude = 0;
};
