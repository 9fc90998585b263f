// Offline reverse geocoding.
#include "platform/sensors/cl_geocoder.h"

#include <cmath>
#include <mutex>

#include "platform/dispatch/queue.h"

namespace {

std::vector<CLGeocoder::Place> defaultPlaces() {
    auto place = [](const char* name, const char* street, const char* city, const char* state, const char* country,
                    const char* code, double lat, double lon) {
        CLGeocoder::Place p;
        p.fields = {name, street, city, state, country, code, {lat, lon}};
        return p;
    };
    return {
        place("Greenmarket Square", "Burg Street", "Cape Town", "Western Cape", "South Africa", "ZA", -33.9221,
              18.4197),
        place("Senate Square", "Aleksanterinkatu", "Helsinki", "Uusimaa", "Finland", "FI", 60.1695, 24.9525),
        place("Alexanderplatz", "Alexanderstraße", "Berlin", "Berlin", "Germany", "DE", 52.5219, 13.4132),
        place("Shibuya Crossing", "Dogenzaka", "Tokyo", "Tokyo", "Japan", "JP", 35.6595, 139.7005),
        place("Union Square", "Powell Street", "San Francisco", "CA", "United States", "US", 37.7880, -122.4075),
        place("Plaza de Mayo", "Avenida de Mayo", "Buenos Aires", "Buenos Aires", "Argentina", "AR", -34.6083,
              -58.3712),
    };
}

struct Table {
    std::mutex mutex;
    std::vector<CLGeocoder::Place> places = defaultPlaces();
};

Table& table() {
    static Table t;
    return t;
}

}  // namespace

std::shared_ptr<CLLocation> CLPlacemark::location() const {
    CLLocation::Fields f;
    f.coordinate = f_.coordinate;
    return CLLocation::make(f);
}

ValueDictionary CLPlacemark::addressDictionary() const {
    ValueDictionary d;
    auto put = [&](const char* key, const std::string& v) {
        if (!v.empty()) d.set(key, Value(v));
    };
    put("Name", f_.name);
    put("Thoroughfare", f_.thoroughfare);
    put("City", f_.locality);
    put("State", f_.administrativeArea);
    put("Country", f_.country);
    put("CountryCode", f_.ISOcountryCode);
    return d;
}

void CLGeocoder::setOfflinePlaces(std::vector<Place> places) {
    std::lock_guard lock(table().mutex);
    table().places = std::move(places);
}

std::vector<CLGeocoder::Place> CLGeocoder::offlinePlaces() {
    std::lock_guard lock(table().mutex);
    return table().places;
}

void CLGeocoder::resetOfflinePlaces() {
    setOfflinePlaces(defaultPlaces());
}

bool CLGeocoder::isGeocoding() const {
    std::lock_guard lock(mutex_);
    return pending_ > 0;
}

void CLGeocoder::cancelGeocode() {
    std::lock_guard lock(mutex_);
    ++generation_;
}

void CLGeocoder::reverseGeocodeLocation(const std::shared_ptr<CLLocation>& location,
                                        CLGeocodeCompletionHandler completion) {
    std::vector<std::shared_ptr<CLPlacemark>> found;
    if (location && CLLocationCoordinate2DIsValid(location->coordinate())) {
        double best = INFINITY;
        for (const auto& place : offlinePlaces()) {
            CLLocation::Fields f;
            f.coordinate = place.fields.coordinate;
            double d = CLLocation::make(f)->distanceFromLocation(*location);
            if (d <= place.radiusMetres && d < best) {
                best = d;
                found = {CLPlacemark::make(place.fields)};
            }
        }
    }
    std::uint64_t generation;
    {
        std::lock_guard lock(mutex_);
        ++pending_;
        generation = generation_;
    }
    auto self = this->self<CLGeocoder>();
    dispatch_get_main_queue()->async([self, found, generation, completion = std::move(completion)] {
        bool canceled;
        {
            std::lock_guard lock(self->mutex_);
            --self->pending_;
            canceled = generation != self->generation_;
        }
        if (!completion) return;
        if (canceled)
            completion({}, NSError::withDescription(kCLErrorDomain, kCLErrorGeocodeCanceled, "geocoding canceled"));
        else if (found.empty())
            completion({}, NSError::withDescription(kCLErrorDomain, kCLErrorGeocodeFoundNoResult, "no place found"));
        else
            completion(found, nullptr);
    });
}
