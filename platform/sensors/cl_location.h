// CLLocation: one position fix, and the location service's enumerations.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/runtime/object.h"

using CLLocationDegrees = double;
using CLLocationDistance = double;
using CLLocationAccuracy = double;

struct CLLocationCoordinate2D {
    CLLocationDegrees latitude = 0, longitude = 0;
};
inline CLLocationCoordinate2D CLLocationCoordinate2DMake(double lat, double lon) {
    return {lat, lon};
}
inline bool CLLocationCoordinate2DIsValid(CLLocationCoordinate2D c) {
    return c.latitude >= -90 && c.latitude <= 90 && c.longitude >= -180 && c.longitude <= 180;
}

enum class CLAuthorizationStatus : std::int64_t {
    NotDetermined = 0,
    Restricted = 1,
    Denied = 2,
    AuthorizedAlways = 3,
    AuthorizedWhenInUse = 4,
};

inline constexpr const char* kCLErrorDomain = "kCLErrorDomain";
enum CLError : std::int64_t {
    kCLErrorLocationUnknown = 0,
    kCLErrorDenied = 1,
    kCLErrorGeocodeFoundNoResult = 8,
    kCLErrorGeocodeCanceled = 10
};

inline constexpr CLLocationAccuracy kCLLocationAccuracyBest = -1;
inline constexpr CLLocationDistance kCLDistanceFilterNone = -1;

class CLLocation : public NSObject {
public:
    KORVA_MAKE(CLLocation)

    struct Fields {
        CLLocationCoordinate2D coordinate;
        CLLocationDistance altitude = 0;
        CLLocationAccuracy horizontalAccuracy = 5, verticalAccuracy = 5;
        double course = -1;    // degrees from north, -1 when unknown
        double speed = -1;     // metres per second, -1 when unknown
        double timestamp = 0;  // seconds since 2001-01-01 UTC
    };

    static std::shared_ptr<CLLocation> withLatitude(double latitude, double longitude);

    CLLocationCoordinate2D coordinate() const { return f_.coordinate; }
    CLLocationDistance altitude() const { return f_.altitude; }
    CLLocationAccuracy horizontalAccuracy() const { return f_.horizontalAccuracy; }
    CLLocationAccuracy verticalAccuracy() const { return f_.verticalAccuracy; }
    double course() const { return f_.course; }
    double speed() const { return f_.speed; }
    double timestamp() const { return f_.timestamp; }
    // Great-circle distance in metres.
    CLLocationDistance distanceFromLocation(const CLLocation& other) const;

    std::string description() const override;
    std::string className() const override { return "CLLocation"; }

protected:
    explicit CLLocation(Fields f) : f_(f) {}

private:
    Fields f_;
};
