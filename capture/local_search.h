// LocalSearch: a natural-language search for places around a coordinate. The desktop has no map
// service, so the host may install a provider; without one every search answers an empty list.
// Answers come on the main queue. Thread-safe.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/runtime/value.h"
#include "platform/sensors/cl_location.h"

struct MapItem {
    std::string name;
    // The placemark's address keys ("City", "State", ...).
    ValueDictionary addressDictionary;
};

struct LocalSearchRequest {
    CLLocationCoordinate2D center;
    double latitudeDelta = 0, longitudeDelta = 0;
    std::string naturalLanguageQuery;
};

class LocalSearch {
public:
    using Answer = std::function<void(std::vector<MapItem> items)>;
    using Provider = std::function<void(const LocalSearchRequest& request, Answer answer)>;

    static void setProvider(Provider provider);
    // The answer runs once on the main queue (empty when the search failed or found nothing).
    static void start(const LocalSearchRequest& request, Answer answer);
};
