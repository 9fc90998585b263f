// The rating prompt: counts uses and events, remembers the first use, the last reminder and the
// version the user rated or declined (user defaults under "RatePrompt..."), looks the application
// up in the store at every launch and return to the foreground, and, when every rule allows, asks
// for a review through the platform's request. Its own three-button alert and the review page are
// there for explicit calls. Each event goes to the delegate and is posted as a notification.
//
// Prompt states: idle -> checking (a lookup runs to prompt) -> prompted (review requested, which
// also counts as a reminder) or alert visible -> answered -> idle. A lookup that ends without
// success clears both lookup flags, so a later prompt can always start. Main thread only, except
// the lookup itself, which runs on a background queue on a copy of the settings.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/rate/rate_prompt_delegate.h"
#include "app/rate/rate_prompt_texts.h"
#include "app/rate/store_lookup.h"
#include "platform/dispatch/notification_center.h"
#include "platform/runtime/object.h"
#include "platform/ui/controller/ui_alert_view.h"

class RatePrompt : public NSObject, public UIAlertViewDelegate {
public:
    KORVA_MAKE(RatePrompt)
    void init() override;
    ~RatePrompt() override;

    static constexpr double kSecondsPerDay = 86400;
    static constexpr double kSecondsPerWeek = 604800;
    static constexpr std::uint64_t kGameGenreID = 6014;

    static std::shared_ptr<RatePrompt> sharedInstance();
    // Tests: the next sharedInstance() makes a new one.
    static void resetSharedInstance();

    // Settings.
    std::uint64_t appStoreID() const;
    void setAppStoreID(std::uint64_t id) { appStoreID_ = id; }
    std::uint64_t appStoreGenreID = 0;
    std::string appStoreCountry;
    std::string applicationName;
    std::string applicationVersion;
    std::string applicationBundleID;
    std::uint64_t usesUntilPrompt = 10;
    std::uint64_t eventsUntilPrompt = 10;
    float daysUntilPrompt = 10;
    float usesPerWeekForPrompt = 0;
    float remindPeriod = 1;
    std::optional<std::string> customMessageTitle, customMessage, customUpdateMessage, customCancelButtonLabel,
        customRemindButtonLabel, customRateButtonLabel;
    // The alert as an alert controller instead of the older alert view.
    bool useUIAlertControllerIfAvailable = false;
    // The texts in the user's language from the texts bundle; read when the first text is.
    bool useAllAvailableLanguages = true;
    bool promptForNewVersionIfUserRated = false;
    bool onlyPromptIfLatestVersion = true;
    bool promptAtLaunch = true;
    bool verboseLogging = false;
    bool previewMode = false;
    std::string customRatingsURL;
    // Where the lookup goes (scheme, host and port) and the review link's host; from Info.plist.
    std::string lookupBase;
    std::string reviewHost;

    // The store country for a locale region: "150" is "eu", "GI" is "GB", a missing or malformed
    // code is "us".
    static std::string storeCountryForRegion(const std::optional<std::string>& region);

    // Stored state.
    std::optional<double> firstUsed() const;
    std::optional<double> lastReminded() const;
    std::int64_t usesCount() const;
    std::int64_t eventCount() const;
    bool declinedThisVersion() const;
    bool declinedAnyVersion() const;
    bool ratedThisVersion() const;
    bool ratedAnyVersion() const;
    void setDeclinedThisVersion(bool declined);
    void setRatedThisVersion(bool rated);
    // Uses per week since the first use; none when no time has passed.
    std::optional<double> usesPerWeek() const;

    void incrementUseCount();
    void incrementEventCount();
    void logEvent(bool deferPrompt);

    bool shouldPromptForRating();
    void promptIfAllCriteriaMet();
    void promptIfNetworkAvailable();
    void promptForRating(bool ownAlert = true);
    void rate();
    void declineThisVersion();
    void remindLater();
    std::string ratingsURL() const;
    void openRatingsPageInAppStore();

    // The delegate; without one, the application's delegate when it is one (then kept).
    std::shared_ptr<RatePromptDelegate> delegate();
    void setDelegate(const std::shared_ptr<RatePromptDelegate>& d) { delegate_ = d; }

    std::string localizedStringForKey(const std::string& key, const std::string& fallback);
    std::string messageTitle();
    std::string message();
    std::string updateMessage();
    std::string cancelButtonLabel();
    std::string rateButtonLabel();
    std::string remindButtonLabel();
    bool showCancelButton() { return !cancelButtonLabel().empty(); }
    bool showRemindButton() { return !remindButtonLabel().empty(); }

    void applicationLaunched();
    void applicationWillEnterForeground();
    void checkForConnectivityInBackground();
    void connectionSucceeded();
    void connectionError(const std::shared_ptr<NSError>& error);
    void setAppStoreIDOnMainThread(std::uint64_t id);
    // The answer of the alert: 0 rates; 1 declines when the cancel button shows; the remind
    // button's index (2 with cancel, else 1) reminds. Handled on the main queue.
    void didDismissAlert(std::size_t buttonIndex);
    void alertViewDidDismissWithButtonIndex(UIAlertView& alertView, long buttonIndex) override;

    bool checkingForPrompt() const { return checkingForPrompt_; }
    bool checkingForAppStoreID() const { return checkingForAppStoreID_; }
    const std::shared_ptr<NSObject>& visibleAlert() const { return visibleAlert_; }
    // The last decision's reason (also logged with verboseLogging).
    const std::string& lastReason() const { return lastReason_; }

    std::string className() const override { return "RatePrompt"; }

protected:
    RatePrompt() = default;

private:
    void applyLookup(const StoreLookupOutcome& outcome);
    // Tells the delegate and posts the notification of the same name.
    void announce(const char* name, void (RatePromptDelegate::*event)());
    void announceFailure(const std::shared_ptr<NSError>& error);
    void announceReminder();
    std::shared_ptr<NSObject> showAlert(const std::string& text);
    void verbose(const std::string& text);
    void answer(std::size_t buttonIndex);

    std::uint64_t appStoreID_ = 0;
    bool checkingForPrompt_ = false;
    bool checkingForAppStoreID_ = false;
    std::shared_ptr<NSObject> visibleAlert_;
    std::weak_ptr<RatePromptDelegate> delegate_;
    std::optional<RatePromptTexts> texts_;
    std::shared_ptr<NSObject> foregroundToken_;
    std::string lastReason_;
};

// The settings the application gives the prompt at launch: 3 days, 1 use, quiet.
void configureRatePromptAtLaunch();
