// The promotion's memory: the file "Global.NewApp.4.<version>" in the library folder, so a new
// application version starts afresh. It holds the last fetch ("at", "lang"), the number of
// processed replies ("executed"), the first reply's date ("at0"), the chosen app ("dict") and the
// declined store pages ("denied"). Values of the wrong kind read as absent. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/runtime/value.h"

class LastInfo;

class NewAppStore {
public:
    // A fetch is due again strictly after this many seconds.
    static constexpr double kFetchInterval = 86400;

    // Tells whether an app for a URL scheme is installed.
    using InstalledCheck = std::function<bool(const std::string& scheme)>;

    explicit NewAppStore(const std::string& appVersion);

    const std::shared_ptr<LastInfo>& lastInfo() const { return lastInfo_; }
    // The chosen app; an empty dictionary when none is.
    const Value& dict();
    // The declined store pages, a set of strings.
    const Value& denied();

    // Whether a fetch is due: never fetched, no language noted, another device language, or more
    // than a day since the last fetch.
    bool isActivePerDay(const std::optional<std::string>& language, double now);
    // Takes one reply's payload (none when the reply carried none): chooses the first app that is
    // neither installed nor declined, notes the fetch, counts the reply and saves. Answers whether
    // the chosen app may be shown now.
    bool receive(const std::optional<std::string>& payload, const std::optional<std::string>& language, double now,
                 const InstalledCheck& installed);
    // Declines the chosen app for good and saves at once.
    void denyChosen();
    void save();

private:
    // Counts the reply and answers whether the chosen app has waited long enough.
    bool isActiveAfterInstalled(double now);
    void choose(const Value& entries, const InstalledCheck& installed);

    std::shared_ptr<LastInfo> lastInfo_;
    std::optional<Value> dict_;
    std::optional<Value> denied_;
};

// A server threshold ("at0", "executed"): a number or a numeric string, truncated, at least 1;
// anything else is 1.
std::int64_t newAppThreshold(const Value& value);
