// The store lookup's address and the reading of its reply.
#include "app/rate/store_lookup.h"

#include <strings.h>

#include "platform/runtime/numeric_string_compare.h"
#include "platform/storage/json.h"

namespace {

std::shared_ptr<NSError> promptError(std::int64_t code, std::string text) {
    return NSError::withDescription(kRatePromptErrorDomain, code, std::move(text));
}

std::optional<std::uint64_t> integerOf(const Value& v) {
    if (v.isInteger() || v.isFloating()) {
        auto n = v.integerValue();
        if (n > 0) return static_cast<std::uint64_t>(n);
        return std::nullopt;
    }
    if (v.isString()) {
        try {
            long long n = std::stoll(v.stringValue());
            if (n > 0) return static_cast<std::uint64_t>(n);
        } catch (...) {
        }
    }
    return std::nullopt;
}

std::string text(const Value& v) {
    if (v.isString()) return v.stringValue();
    if (v.isNumber()) return std::to_string(v.integerValue());
    return {};
}

}  // namespace

std::string storeLookupAddress(const StoreLookupSettings& s) {
    std::string address = s.lookupBase + "/" + s.country + "/lookup";
    if (s.appStoreID != 0) return address + "?id=" + std::to_string(s.appStoreID);
    return address + "?bundleId=" + s.bundleID;
}

StoreLookupOutcome evaluateStoreLookup(const StoreLookupSettings& s, const URLSyncReply& reply) {
    StoreLookupOutcome out;
    auto http = std::dynamic_pointer_cast<NSHTTPURLResponse>(reply.response);
    const std::int64_t status = http ? http->statusCode() : 0;
    if (!reply.data || status != 200) {
        if (status >= 400)
            out.error = NSError::withDescription(kHTTPResponseErrorDomain, status,
                                                 "The server returned a " + std::to_string(status) + " error");
        else
            out.error = reply.error;
        if (!out.error) out.error = NSError::withDescription(NSURLErrorDomain, -1, "No reply from the store");
        return out;
    }
    auto parsed = NSJSONSerialization::JSONObjectWithData(*reply.data);
    if (!parsed.ok()) {
        out.error = NSError::withDescription(NSCocoaErrorDomain, 3840, parsed.error());
        return out;
    }
    // The last result, when every level has the right shape; anything else is "not found".
    Value result;
    const Value& top = parsed.value();
    if (top.isDictionary() && top["results"].isArray() && top["results"].count() > 0) {
        const Value& last = top["results"][top["results"].count() - 1];
        if (last.isDictionary()) result = last;
    }
    const Value& bundleId = result["bundleId"];
    if (bundleId.isString()) {
        if (strcasecmp(bundleId.stringValue().c_str(), s.bundleID.c_str()) == 0) {
            if (s.appStoreGenreID == 0) out.genreID = integerOf(result["primaryGenreId"]);
            if (s.appStoreID == 0) {
                out.appStoreID = integerOf(result["trackId"]);
                out.log = "RatePrompt found the app on iTunes. The App Store ID is " + text(result["trackId"]);
            }
            if (s.onlyPromptIfLatestVersion && !s.previewMode) {
                std::string storeVersion = text(result["version"]);
                if (compareNumeric(storeVersion, s.version) > 0) {
                    out.error = promptError(RatePromptErrorApplicationIsNotLatestVersion,
                                            "Installed app is not the latest version available");
                    out.log = "RatePrompt found that the installed application version (" + s.version +
                              ") is not the latest version on the App Store, which is " + storeVersion;
                }
            }
        } else {
            out.error = promptError(RatePromptErrorBundleIdDoesNotMatchAppStore,
                                    "Application bundle ID does not match expected value of " + bundleId.stringValue());
            out.log = "RatePrompt found that the application bundle ID (" + s.bundleID +
                      ") does not match the bundle ID of the app found on iTunes (" + bundleId.stringValue() +
                      ") with the specified App Store ID (" + std::to_string(s.appStoreID) + ")";
        }
    } else if (s.appStoreID == 0) {
        out.log =
            "RatePrompt could not find your app on iTunes. If your app is not yet on the store or is not "
            "intended for App Store release then don't worry about this";
    } else if (!s.previewMode) {
        out.error = promptError(RatePromptErrorApplicationNotFoundOnAppStore,
                                "The application could not be found on the App Store.");
        out.log =
            "RatePrompt could not find this application on iTunes. If your app is not intended for App Store "
            "release then you must specify a custom ratingsURL. If this is the first release of your "
            "application then it's not a problem that it cannot be found on the store yet";
    }
    return out;
}
