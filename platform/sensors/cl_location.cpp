// Location values.
#include "platform/sensors/cl_location.h"

#include <cmath>
#include <cstdio>

#include "platform/dispatch/clock.h"

std::shared_ptr<CLLocation> CLLocation::withLatitude(double latitude, double longitude) {
    Fields f;
    f.coordinate = {latitude, longitude};
    f.timestamp = Clock::absoluteTime();
    return CLLocation::make(f);
}

CLLocationDistance CLLocation::distanceFromLocation(const CLLocation& other) const {
    constexpr double kEarthRadius = 6371008.8;
    constexpr double kRad = M_PI / 180;
    double lat1 = f_.coordinate.latitude * kRad, lat2 = other.f_.coordinate.latitude * kRad;
    double dLat = lat2 - lat1, dLon = (other.f_.coordinate.longitude - f_.coordinate.longitude) * kRad;
    double a = std::sin(dLat / 2) * std::sin(dLat / 2) +
               std::cos(lat1) * std::cos(lat2) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthRadius * std::asin(std::min(1.0, std::sqrt(a)));
}

std::string CLLocation::description() const {
    char buf[160];
    std::snprintf(buf, sizeof buf, "<%+.8f,%+.8f> +/- %.2fm (speed %.2f mps / course %.2f)", f_.coordinate.latitude,
                  f_.coordinate.longitude, f_.horizontalAccuracy, f_.speed, f_.course);
    return buf;
}
