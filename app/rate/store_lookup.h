// The store's lookup of the application: the address asked, and what a reply means for the
// rating prompt. Pure functions; the prompt runs the request and applies the outcome.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/net/url_session.h"
#include "platform/runtime/error.h"

inline constexpr const char* kRatePromptErrorDomain = "RatePromptErrorDomain";
inline constexpr const char* kHTTPResponseErrorDomain = "HTTPResponseErrorDomain";
enum RatePromptErrorCode : std::int64_t {
    RatePromptErrorBundleIdDoesNotMatchAppStore = 1,
    RatePromptErrorApplicationNotFoundOnAppStore = 2,
    RatePromptErrorApplicationIsNotLatestVersion = 3,
    RatePromptErrorCouldNotOpenRatingPageURL = 4,
};

// The settings a lookup reads, copied before it starts.
struct StoreLookupSettings {
    std::string lookupBase;  // scheme, host and port
    std::string country;
    std::uint64_t appStoreID = 0;
    std::uint64_t appStoreGenreID = 0;
    std::string bundleID;
    std::string version;
    bool onlyPromptIfLatestVersion = true;
    bool previewMode = false;
};

struct StoreLookupOutcome {
    std::shared_ptr<NSError> error;           // none: the lookup went through
    std::optional<std::uint64_t> genreID;     // to store when the prompt has none yet
    std::optional<std::uint64_t> appStoreID;  // learnt identifier, when none was known
    std::string log;                          // what the verbose log says about it
};

std::string storeLookupAddress(const StoreLookupSettings& settings);
// A reply whose top level, "results" or last result has the wrong shape counts as not found.
StoreLookupOutcome evaluateStoreLookup(const StoreLookupSettings& settings, const URLSyncReply& reply);
