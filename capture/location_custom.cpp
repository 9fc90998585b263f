// GPS dictionaries for photos, reverse-geocoded addresses and nearby places.
#include "capture/location_custom.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "capture/local_search.h"
#include "platform/image/codec/image_property_keys.h"
#include "platform/sensors/cl_geocoder.h"

namespace {

constexpr double kSecondsFrom1970To2001 = 978307200.0;
constexpr double kNearbySpan = 0.1;
// The GPS altitude is an unsigned rational of 32-bit parts, with its sign in a reference byte: no
// height of more than this many metres either side of sea level can be written truthfully.
constexpr double kLargestGpsAltitude = 4294967295.0;

// "HH:mm:ss.SS" of a time in seconds since 2001, in UTC (hundredths truncated, as a formatter does).
std::string utcTimeStamp(double secondsSince2001) {
    double unix = secondsSince2001 + kSecondsFrom1970To2001;
    double whole = std::floor(unix);
    auto t = static_cast<std::time_t>(whole);
    std::tm utc{};
    gmtime_r(&t, &utc);
    int hundredths = std::min(99, static_cast<int>(std::floor((unix - whole) * 100.0 + 1e-6)));
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d:%02d:%02d.%02d", utc.tm_hour, utc.tm_min, utc.tm_sec, hundredths);
    return buf;
}

std::string valueText(const ValueDictionary& d, const char* key) {
    const Value& v = d.get(key);
    return v.string() ? *v.string() : std::string();
}

// Runs the searches one after the other, appending to the list, then completes with all of it.
void searchInTurn(std::shared_ptr<CLLocation> location, std::vector<std::string> queries, std::size_t next,
                  std::vector<PlaceEntry> places, PlaceCompletion completion) {
    if (next >= queries.size()) {
        if (completion) completion(std::move(places));
        return;
    }
    auto query = queries[next];
    nearby(location, query,
           [location, queries = std::move(queries), next, places = std::move(places),
            completion = std::move(completion)](std::vector<PlaceEntry> found) mutable {
               places.insert(places.end(), found.begin(), found.end());
               searchInTurn(location, std::move(queries), next + 1, std::move(places), std::move(completion));
           });
}

}  // namespace

ValueDictionary gpsDictionary(const CLLocation& location) {
    auto c = location.coordinate();
    double altitude = location.altitude();
    ValueDictionary gps;
    gps.set(kCGImagePropertyGPSLatitude, Value(std::fabs(c.latitude)));
    gps.set(kCGImagePropertyGPSLatitudeRef, Value(c.latitude >= 0 ? "N" : "S"));
    gps.set(kCGImagePropertyGPSLongitude, Value(std::fabs(c.longitude)));
    gps.set(kCGImagePropertyGPSLongitudeRef, Value(c.longitude >= 0 ? "E" : "W"));
    // A negative vertical accuracy says the altitude is unknown: the photo is left without one
    // rather than given sea level. One the tag cannot hold is left out too, rather than written
    // as the largest it can.
    if (location.verticalAccuracy() >= 0 && std::isfinite(altitude) && std::fabs(altitude) <= kLargestGpsAltitude) {
        gps.set(kCGImagePropertyGPSAltitude, Value(std::fabs(altitude)));
        gps.set(kCGImagePropertyGPSAltitudeRef, Value(altitude < 0 ? 1 : 0));
    }
    gps.set(kCGImagePropertyGPSTimeStamp, Value(utcTimeStamp(location.timestamp())));
    return gps;
}

void assignLocation(const CLLocation& location, const CMSampleBufferRef& sampleBuffer) {
    if (!sampleBuffer) return;
    sampleBuffer->setAttachment(kCGImagePropertyGPSDictionary, Value(gpsDictionary(location)),
                                CMAttachmentMode::ShouldPropagate);
}

void nearby(const std::shared_ptr<CLLocation>& location, const std::string& query, PlaceCompletion completion) {
    LocalSearchRequest request;
    if (location) request.center = location->coordinate();
    request.latitudeDelta = request.longitudeDelta = kNearbySpan;
    request.naturalLanguageQuery = query;
    LocalSearch::start(request, [completion = std::move(completion)](std::vector<MapItem> items) {
        std::vector<PlaceEntry> places;
        for (const auto& item : items) places.push_back({item.name, valueText(item.addressDictionary, "City")});
        if (completion) completion(std::move(places));
    });
}

void address(const std::shared_ptr<CLLocation>& location, PlaceCompletion completion) {
    auto geocoder = CLGeocoder::make();
    geocoder->reverseGeocodeLocation(
        location, [geocoder, location, completion = std::move(completion)](
                      const std::vector<std::shared_ptr<CLPlacemark>>& placemarks, const std::shared_ptr<NSError>&) {
            if (placemarks.empty()) {
                if (completion) completion({});
                return;
            }
            std::vector<PlaceEntry> places;
            for (const auto& placemark : placemarks) {
                if (!placemark) continue;
                auto dict = placemark->addressDictionary();
                std::string city = valueText(dict, "City");
                for (const char* key : {"Thoroughfare", "City", "State"}) {
                    std::string name = valueText(dict, key);
                    if (!name.empty()) places.push_back({name, city});
                }
            }
            // One round of searches for all placemarks, so the completion runs once.
            searchInTurn(location, {"restaurants", "coffee", "building"}, 0, std::move(places), completion);
        });
}
