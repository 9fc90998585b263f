// What the capture engine writes about a place into a photo, and what it can learn about a place.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/capture/cm_sample_buffer.h"
#include "platform/runtime/value.h"
#include "platform/sensors/cl_location.h"

// A place: its name and its city ("" when not known).
struct PlaceEntry {
    std::string name, city;
    bool operator==(const PlaceEntry&) const = default;
};
using PlaceCompletion = std::function<void(std::vector<PlaceEntry> places)>;

// The seven-entry GPS dictionary of the location: unsigned latitude, longitude and altitude with
// their references, and the fix time as "HH:mm:ss.SS" in UTC. Without the two altitude entries
// when the altitude is unknown (a negative vertical accuracy) or beyond what the tag holds.
ValueDictionary gpsDictionary(const CLLocation& location);
// Sets that dictionary on the buffer as its propagating GPS attachment, replacing any other.
void assignLocation(const CLLocation& location, const CMSampleBufferRef& sampleBuffer);

// The places near the location: each reverse-geocoded placemark's thoroughfare, city and state,
// then what searches for restaurants, coffee and buildings nearby find. The completion runs once,
// on the main queue (with an empty list when the location names no place).
void address(const std::shared_ptr<CLLocation>& location, PlaceCompletion completion);
// A search around the location (0.1 degrees each way); the completion runs once on the main queue.
void nearby(const std::shared_ptr<CLLocation>& location, const std::string& query, PlaceCompletion completion);
