// CLGeocoder: reverse geocoding from a small offline table of places. A location within the
// table's radius of a place gets that place; anywhere else gets no result (an error), as a device
// without a network would. Answers come on the main queue. Thread-safe.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/error.h"
#include "platform/runtime/value.h"
#include "platform/sensors/cl_location.h"

class CLPlacemark : public NSObject {
public:
    KORVA_MAKE(CLPlacemark)
    struct Fields {
        std::string name, thoroughfare, locality, administrativeArea, country, ISOcountryCode;
        CLLocationCoordinate2D coordinate;
    };
    const std::string& name() const { return f_.name; }
    const std::string& thoroughfare() const { return f_.thoroughfare; }
    const std::string& locality() const { return f_.locality; }
    const std::string& administrativeArea() const { return f_.administrativeArea; }
    const std::string& country() const { return f_.country; }
    const std::string& ISOcountryCode() const { return f_.ISOcountryCode; }
    std::shared_ptr<CLLocation> location() const;
    // The address book's keys: "Name", "Thoroughfare", "City", "State", "Country", "CountryCode"
    // (keys with empty values are left out).
    ValueDictionary addressDictionary() const;

protected:
    explicit CLPlacemark(Fields f) : f_(std::move(f)) {}

private:
    Fields f_;
};

using CLGeocodeCompletionHandler = std::function<void(const std::vector<std::shared_ptr<CLPlacemark>>& placemarks,
                                                      const std::shared_ptr<NSError>& error)>;

class CLGeocoder : public NSObject {
public:
    KORVA_MAKE(CLGeocoder)

    struct Place {
        CLPlacemark::Fields fields;
        double radiusMetres = 25000;
    };
    // Replaces the table (tests, hosts with their own places); an empty table answers nothing.
    static void setOfflinePlaces(std::vector<Place> places);
    static std::vector<Place> offlinePlaces();
    static void resetOfflinePlaces();

    // The nearest place whose radius covers the location; the handler runs once.
    void reverseGeocodeLocation(const std::shared_ptr<CLLocation>& location, CLGeocodeCompletionHandler completion);
    bool isGeocoding() const;
    // A pending answer then comes as kCLErrorGeocodeCanceled.
    void cancelGeocode();

protected:
    CLGeocoder() = default;

private:
    mutable std::mutex mutex_;
    int pending_ = 0;
    std::uint64_t generation_ = 0;
};
