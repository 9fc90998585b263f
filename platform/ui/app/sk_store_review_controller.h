// The store's review request. This host has no application store: a request is only recorded
// (and counted), so callers and tests can see that it was made.
#pragma once

#include <cstddef>

class SKStoreReviewController {
public:
    static void requestReview() { ++counter(); }
    static std::size_t requestCount() { return counter(); }
    static void resetRequestCount() { counter() = 0; }

private:
    static std::size_t& counter() {
        static std::size_t count = 0;
        return count;
    }
};
