// The rating prompt's rules, stored state, store lookup and answers.
#include "app/rate/rate_prompt.h"

#include "platform/dispatch/clock.h"
#include "platform/dispatch/queue.h"
#include "platform/runtime/log.h"
#include "platform/storage/bundle.h"
#include "platform/storage/user_defaults.h"
#include "platform/text/locale_region.h"
#include "platform/ui/app/sk_store_review_controller.h"
#include "platform/ui/app/ui_application.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_alert_controller.h"

namespace {
constexpr const char* kFirstUsedKey = "RatePromptFirstUsed";
constexpr const char* kLastRemindedKey = "RatePromptLastReminded";
constexpr const char* kUseCountKey = "RatePromptUseCount";
constexpr const char* kEventCountKey = "RatePromptEventCount";
constexpr const char* kDeclinedVersionKey = "RatePromptDeclinedVersion";
constexpr const char* kRatedVersionKey = "RatePromptRatedVersionChecked";
constexpr const char* kLastVersionUsedKey = "RatePromptLastVersionUsed";
constexpr const char* kAppStoreIDKey = "RatePromptAppStoreID";
constexpr const char* kLookupBaseInfoKey = "KorvaStoreLookupAddress";
constexpr const char* kReviewHostInfoKey = "KorvaStoreReviewHost";
constexpr double kLookupTimeout = 60;

std::shared_ptr<NSUserDefaults> defaults() {
    return NSUserDefaults::standardUserDefaults();
}

// Values of the wrong kind read as absent.
std::optional<double> dateFor(const char* key) {
    Value v = defaults()->objectForKey(key);
    if (v.isDate()) return v.dateValue();
    return std::nullopt;
}
std::int64_t countFor(const char* key) {
    Value v = defaults()->objectForKey(key);
    return v.isInteger() ? v.integerValue() : 0;
}
std::string stringFor(const char* key) {
    Value v = defaults()->objectForKey(key);
    return v.isString() ? v.stringValue() : std::string();
}
std::string infoString(const char* key) {
    Value v = NSBundle::mainBundle()->objectForInfoDictionaryKey(key);
    return v.isString() ? v.stringValue() : std::string();
}
std::string withName(std::string text, const std::string& name) {
    if (auto at = text.find("%@"); at != std::string::npos) text.replace(at, 2, name);
    return text;
}
std::shared_ptr<RatePrompt>& shared() {
    static std::shared_ptr<RatePrompt> instance;
    return instance;
}
}  // namespace

std::shared_ptr<RatePrompt> RatePrompt::sharedInstance() {
    if (!shared()) shared() = make();
    return shared();
}

void RatePrompt::resetSharedInstance() {
    shared().reset();
}

std::string RatePrompt::storeCountryForRegion(const std::optional<std::string>& region) {
    if (!region) return "us";
    if (*region == "150") return "eu";
    auto letter = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); };
    if (region->size() != 2 || !letter((*region)[0]) || !letter((*region)[1])) return "us";
    if (*region == "GI") return "GB";
    return *region;
}

void RatePrompt::init() {
    NSObject::init();
    std::weak_ptr<RatePrompt> weak = self<RatePrompt>();
    foregroundToken_ = NSNotificationCenter::defaultCenter()->addObserver(
        UIApplicationWillEnterForegroundNotification, nullptr, nullptr, [weak](const std::shared_ptr<NSNotification>&) {
            if (auto strong = weak.lock()) strong->applicationWillEnterForeground();
        });
    appStoreCountry = storeCountryForRegion(LocaleRegion::currentCountryCode());
    applicationVersion = infoString("CFBundleShortVersionString");
    if (applicationVersion.empty()) applicationVersion = infoString("CFBundleVersion");
    applicationName = infoString("CFBundleDisplayName");
    if (applicationName.empty()) applicationName = infoString("CFBundleName");
    applicationBundleID = NSBundle::mainBundle()->bundleIdentifier();
    lookupBase = infoString(kLookupBaseInfoKey);
    reviewHost = infoString(kReviewHostInfoKey);
    dispatch_async(dispatch_get_main_queue(), [weak] {
        if (auto strong = weak.lock()) strong->applicationLaunched();
    });
}

RatePrompt::~RatePrompt() {
    if (foregroundToken_) NSNotificationCenter::defaultCenter()->removeObserver(foregroundToken_);
}

std::uint64_t RatePrompt::appStoreID() const {
    if (appStoreID_ != 0) return appStoreID_;
    auto stored = countFor(kAppStoreIDKey);
    return stored > 0 ? static_cast<std::uint64_t>(stored) : 0;
}

std::optional<double> RatePrompt::firstUsed() const {
    return dateFor(kFirstUsedKey);
}
std::optional<double> RatePrompt::lastReminded() const {
    return dateFor(kLastRemindedKey);
}
std::int64_t RatePrompt::usesCount() const {
    return countFor(kUseCountKey);
}
std::int64_t RatePrompt::eventCount() const {
    return countFor(kEventCountKey);
}
bool RatePrompt::declinedThisVersion() const {
    return stringFor(kDeclinedVersionKey) == applicationVersion;
}
bool RatePrompt::declinedAnyVersion() const {
    return !stringFor(kDeclinedVersionKey).empty();
}
bool RatePrompt::ratedThisVersion() const {
    return stringFor(kRatedVersionKey) == applicationVersion;
}
bool RatePrompt::ratedAnyVersion() const {
    return !stringFor(kRatedVersionKey).empty();
}

void RatePrompt::setDeclinedThisVersion(bool declined) {
    if (declined)
        defaults()->setObject(Value(applicationVersion), kDeclinedVersionKey);
    else
        defaults()->removeObjectForKey(kDeclinedVersionKey);
}

void RatePrompt::setRatedThisVersion(bool rated) {
    if (rated)
        defaults()->setObject(Value(applicationVersion), kRatedVersionKey);
    else
        defaults()->removeObjectForKey(kRatedVersionKey);
}

std::optional<double> RatePrompt::usesPerWeek() const {
    auto first = firstUsed();
    if (!first) return std::nullopt;
    double weeks = (Clock::absoluteTime() - *first) / kSecondsPerWeek;
    if (!(weeks > 0)) return std::nullopt;
    return static_cast<double>(usesCount()) / weeks;
}

// The counts, the dates and the version are kept by the program itself (fitted), the answers are
// the user's: only an answer may replace a defaults file that could not be read at start.
void RatePrompt::incrementUseCount() {
    defaults()->fitInteger(usesCount() + 1, kUseCountKey);
}
void RatePrompt::incrementEventCount() {
    defaults()->fitInteger(eventCount() + 1, kEventCountKey);
}

void RatePrompt::logEvent(bool deferPrompt) {
    incrementEventCount();
    if (!deferPrompt) promptIfAllCriteriaMet();
}

void RatePrompt::verbose(const std::string& text) {
    lastReason_ = text;
    if (verboseLogging) NSLog("%@", {Value(text)});
}

bool RatePrompt::shouldPromptForRating() {
    const double now = Clock::absoluteTime();
    if (previewMode) {
        lastReason_ = "RatePrompt preview mode is enabled - make sure you disable this for release";
        NSLog("%@", {Value(lastReason_)});
        return true;
    }
    if (ratedThisVersion()) {
        verbose("RatePrompt did not prompt for rating because the user has already rated this version");
        return false;
    }
    if (ratedAnyVersion() && !promptForNewVersionIfUserRated) {
        verbose(
            "RatePrompt did not prompt for rating because the user has already rated this app, and "
            "promptForNewVersionIfUserRated is disabled");
        return false;
    }
    if (declinedAnyVersion()) {
        verbose("RatePrompt did not prompt for rating because the user has declined to rate the app");
        return false;
    }
    auto first = firstUsed();
    if (!first || now - *first < daysUntilPrompt * kSecondsPerDay) {
        verbose("RatePrompt did not prompt for rating because the app was first used less than " +
                std::to_string(daysUntilPrompt) + " days ago");
        return false;
    }
    if (static_cast<std::uint64_t>(std::max<std::int64_t>(usesCount(), 0)) < usesUntilPrompt &&
        static_cast<std::uint64_t>(std::max<std::int64_t>(eventCount(), 0)) < eventsUntilPrompt) {
        verbose("RatePrompt did not prompt for rating because the app has only been used " +
                std::to_string(usesCount()) + " times and only " + std::to_string(eventCount()) +
                " events have been logged");
        return false;
    }
    if (auto perWeek = usesPerWeek(); perWeek && *perWeek < usesPerWeekForPrompt) {
        verbose("RatePrompt did not prompt for rating because the app has only been used " + std::to_string(*perWeek) +
                " times per week on average since it was installed");
        return false;
    }
    if (auto reminded = lastReminded(); reminded && now - *reminded < remindPeriod * kSecondsPerDay) {
        verbose("RatePrompt did not prompt for rating because the user last asked to be reminded less than " +
                std::to_string(remindPeriod) + " days ago");
        return false;
    }
    lastReason_.clear();
    return true;
}

void RatePrompt::promptIfAllCriteriaMet() {
    if (shouldPromptForRating()) promptIfNetworkAvailable();
}

void RatePrompt::promptIfNetworkAvailable() {
    if (checkingForPrompt_ || checkingForAppStoreID_) return;
    checkingForPrompt_ = true;
    checkForConnectivityInBackground();
}

void RatePrompt::checkForConnectivityInBackground() {
    StoreLookupSettings settings{
        lookupBase,         appStoreCountry,           appStoreID_, appStoreGenreID, applicationBundleID,
        applicationVersion, onlyPromptIfLatestVersion, previewMode};
    if (verboseLogging)
        NSLog("RatePrompt is checking %@ to retrieve the App Store details...", {Value(storeLookupAddress(settings))});
    std::weak_ptr<RatePrompt> weak = self<RatePrompt>();
    dispatch_async(dispatch_get_global_queue(DISPATCH_QUEUE_PRIORITY_BACKGROUND), [weak, settings] {
        URLSyncReply reply;
        if (auto url = NSURL::URLWithString(storeLookupAddress(settings))) {
            reply = sendSynchronousRequest(
                NSURLRequest(url, NSURLRequestCachePolicy::ReloadIgnoringLocalCacheData, kLookupTimeout));
        } else {
            reply.error = NSError::withDescription(NSURLErrorDomain, -1000, "Bad store lookup address");
        }
        StoreLookupOutcome outcome = evaluateStoreLookup(settings, reply);
        dispatch_async(dispatch_get_main_queue(), [weak, outcome] {
            if (auto strong = weak.lock()) strong->applyLookup(outcome);
        });
    });
}

void RatePrompt::applyLookup(const StoreLookupOutcome& outcome) {
    if (outcome.genreID && appStoreGenreID == 0) appStoreGenreID = *outcome.genreID;
    if (outcome.appStoreID && appStoreID_ == 0) setAppStoreIDOnMainThread(*outcome.appStoreID);
    if (!outcome.log.empty()) verbose(outcome.log);
    const bool posixOne = outcome.error && outcome.error->domain() == NSPOSIXErrorDomain && outcome.error->code() == 1;
    if (outcome.error && !posixOne && appStoreID() != 0) {
        connectionError(outcome.error);
    } else if (appStoreID() == 0 && !previewMode) {
        // Nothing to prompt for or open; the next launch tries again.
        checkingForPrompt_ = checkingForAppStoreID_ = false;
    } else {
        connectionSucceeded();
    }
}

void RatePrompt::setAppStoreIDOnMainThread(std::uint64_t id) {
    appStoreID_ = id;
    defaults()->fitInteger(static_cast<std::int64_t>(id), kAppStoreIDKey);
}

void RatePrompt::connectionSucceeded() {
    if (checkingForAppStoreID_) {
        checkingForPrompt_ = checkingForAppStoreID_ = false;
        openRatingsPageInAppStore();
    } else if (checkingForPrompt_) {
        checkingForPrompt_ = false;
        if (auto d = delegate(); d && d->RatePromptShouldPromptForRating() == false) {
            verbose(
                "RatePrompt did not display the rating prompt because the RatePromptShouldPromptForRating "
                "delegate method returned NO");
            return;
        }
        promptForRating(false);
    }
}

void RatePrompt::connectionError(const std::shared_ptr<NSError>& error) {
    if (!checkingForPrompt_ && !checkingForAppStoreID_) return;
    checkingForPrompt_ = checkingForAppStoreID_ = false;
    lastReason_ = error ? "RatePrompt rating process failed because: " + error->localizedDescription()
                        : "RatePrompt rating process failed because an unknown error occurred";
    NSLog("%@", {Value(lastReason_)});
    announceFailure(error);
}

std::shared_ptr<RatePromptDelegate> RatePrompt::delegate() {
    if (auto d = delegate_.lock()) return d;
    auto d = std::dynamic_pointer_cast<RatePromptDelegate>(UIApplication::sharedApplication()->delegate());
    if (d) delegate_ = d;
    return d;
}

void RatePrompt::announce(const char* name, void (RatePromptDelegate::*event)()) {
    if (auto d = delegate()) ((*d).*event)();
    NSNotificationCenter::defaultCenter()->post(name, nullptr);
}

void RatePrompt::announceFailure(const std::shared_ptr<NSError>& error) {
    if (auto d = delegate()) d->RatePromptCouldNotConnectToAppStore(error);
    NSNotificationCenter::defaultCenter()->post("RatePromptCouldNotConnectToAppStore", error);
}

void RatePrompt::promptForRating(bool ownAlert) {
    if (visibleAlert_) return;
    const std::string text = ratedAnyVersion() ? updateMessage() : message();
    if (!ownAlert) {
        // The review request counts as a reminder, though the user has answered nothing yet.
        defaults()->fitObject(Value::date(Clock::absoluteTime()), kLastRemindedKey);
        announceReminder();
        SKStoreReviewController::requestReview();
    } else {
        visibleAlert_ = showAlert(text);
    }
    announce("RatePromptDidPromptForRating", &RatePromptDelegate::RatePromptDidPromptForRating);
}

std::shared_ptr<NSObject> RatePrompt::showAlert(const std::string& text) {
    // On the top controller: the window's root and what it presents, to the last one.
    std::shared_ptr<UIViewController> top;
    if (auto delegate = UIApplication::sharedApplication()->delegate(); delegate && delegate->window())
        top = std::dynamic_pointer_cast<UIViewController>(delegate->window()->rootViewController());
    while (top && top->presentedViewController()) top = top->presentedViewController();
    if (!top || !useUIAlertControllerIfAvailable) {
        auto alert = UIAlertView::make(messageTitle(), text, self<RatePrompt>());
        alert->addButtonWithTitle(rateButtonLabel());
        if (showCancelButton()) alert->setCancelButtonIndex(alert->addButtonWithTitle(cancelButtonLabel()));
        if (showRemindButton()) alert->addButtonWithTitle(remindButtonLabel());
        // An alert that could not go up would never be answered and would block every later one.
        return alert->show() ? alert : nullptr;
    }
    auto alert = UIAlertController::make(messageTitle(), text, UIAlertControllerStyle::Alert);
    std::weak_ptr<RatePrompt> weak = self<RatePrompt>();
    auto answerWith = [weak](std::size_t index) {
        return [weak, index](UIAlertAction&) {
            if (auto strong = weak.lock()) strong->didDismissAlert(index);
        };
    };
    alert->addAction(UIAlertAction::make(rateButtonLabel(), UIAlertActionStyle::Default, answerWith(0)));
    std::size_t next = 1;
    if (showCancelButton())
        alert->addAction(UIAlertAction::make(cancelButtonLabel(), UIAlertActionStyle::Cancel, answerWith(next++)));
    if (showRemindButton())
        alert->addAction(UIAlertAction::make(remindButtonLabel(), UIAlertActionStyle::Default, answerWith(next)));
    top->presentViewController(alert, true);
    return alert;
}

void RatePrompt::alertViewDidDismissWithButtonIndex(UIAlertView&, long buttonIndex) {
    if (buttonIndex >= 0) didDismissAlert(static_cast<std::size_t>(buttonIndex));
}

void RatePrompt::didDismissAlert(std::size_t buttonIndex) {
    std::weak_ptr<RatePrompt> weak = self<RatePrompt>();
    dispatch_async(dispatch_get_main_queue(), [weak, buttonIndex] {
        if (auto strong = weak.lock()) strong->answer(buttonIndex);
    });
}

void RatePrompt::answer(std::size_t index) {
    const std::size_t remindIndex = showCancelButton() ? 2 : 1;
    if (index == 0)
        rate();
    else if (showCancelButton() && index == 1)
        declineThisVersion();
    else if (showRemindButton() && index == remindIndex)
        remindLater();
    visibleAlert_.reset();
}

void RatePrompt::rate() {
    setRatedThisVersion(true);
    announce("RatePromptUserDidAttemptToRateApp", &RatePromptDelegate::RatePromptUserDidAttemptToRateApp);
    auto d = delegate();
    if (d && d->RatePromptShouldOpenAppStore() == false) return;
    openRatingsPageInAppStore();
}

void RatePrompt::declineThisVersion() {
    setDeclinedThisVersion(true);
    announce("RatePromptUserDidDeclineToRateApp", &RatePromptDelegate::RatePromptUserDidDeclineToRateApp);
}

void RatePrompt::remindLater() {
    defaults()->setObject(Value::date(Clock::absoluteTime()), kLastRemindedKey);
    announceReminder();
}

void RatePrompt::announceReminder() {
    announce("RatePromptUserDidRequestReminderToRateApp",
             &RatePromptDelegate::RatePromptUserDidRequestReminderToRateApp);
}

std::string RatePrompt::ratingsURL() const {
    if (!customRatingsURL.empty()) return customRatingsURL;
    if (appStoreID() == 0 && verboseLogging)
        NSLog(
            "RatePrompt could not find the App Store ID for this application. If the application is not intended "
            "for App Store release then you must specify a custom ratingsURL.");
    return "itms-apps://" + reviewHost + "/app/id" + std::to_string(appStoreID()) + "?action=write-review";
}

void RatePrompt::openRatingsPageInAppStore() {
    if (customRatingsURL.empty() && appStoreID() == 0) {
        checkingForAppStoreID_ = true;
        if (!checkingForPrompt_) checkForConnectivityInBackground();
        return;
    }
    std::string url = ratingsURL();
    if (verboseLogging)
        NSLog("RatePrompt will open the App Store ratings page using the following URL: %@", {Value(url)});
    std::weak_ptr<RatePrompt> weak = self<RatePrompt>();
    UIApplication::sharedApplication()->openURL(url, {}, [weak, url](bool opened) {
        auto strong = weak.lock();
        if (!strong) return;
        if (opened) {
            strong->announce("RatePromptDidOpenAppStore", &RatePromptDelegate::RatePromptDidOpenAppStore);
            return;
        }
        std::string text = "RatePrompt was unable to open the specified ratings URL: " + url;
        NSLog("%@", {Value(text)});
        strong->announceFailure(
            NSError::withDescription(kRatePromptErrorDomain, RatePromptErrorCouldNotOpenRatingPageURL, text));
    });
}

std::string RatePrompt::localizedStringForKey(const std::string& key, const std::string& fallback) {
    if (!texts_) texts_.emplace(useAllAvailableLanguages);
    return texts_->localizedStringForKey(key, fallback);
}

std::string RatePrompt::messageTitle() {
    return withName(
        customMessageTitle ? *customMessageTitle : localizedStringForKey("RatePromptMessageTitle", "Rate %@"),
        applicationName);
}

std::string RatePrompt::message() {
    if (customMessage) return withName(*customMessage, applicationName);
    const std::string text =
        appStoreGenreID == kGameGenreID
            ? localizedStringForKey("RatePromptGameMessage",
                                    "If you enjoy playing %@, would you mind taking a moment to "
                                    "rate it? It won’t take more than a minute. Thanks for your "
                                    "support!")
            : localizedStringForKey("RatePromptAppMessage",
                                    "If you enjoy using %@, would you mind taking a moment to rate "
                                    "it? It won’t take more than a minute. Thanks for your support!");
    return withName(text, applicationName);
}

std::string RatePrompt::updateMessage() {
    if (customUpdateMessage) return withName(*customUpdateMessage, applicationName);
    return withName(localizedStringForKey("RatePromptUpdateMessage", message()), applicationName);
}

std::string RatePrompt::cancelButtonLabel() {
    return customCancelButtonLabel ? *customCancelButtonLabel
                                   : localizedStringForKey("RatePromptCancelButton", "No, Thanks");
}
std::string RatePrompt::rateButtonLabel() {
    return customRateButtonLabel ? *customRateButtonLabel
                                 : localizedStringForKey("RatePromptRateButton", "Rate It Now");
}
std::string RatePrompt::remindButtonLabel() {
    return customRemindButtonLabel ? *customRemindButtonLabel
                                   : localizedStringForKey("RatePromptRemindButton", "Remind Me Later");
}

void RatePrompt::applicationLaunched() {
    const double now = Clock::absoluteTime();
    auto first = firstUsed();
    if (!first || stringFor(kLastVersionUsedKey) != applicationVersion) {
        defaults()->fitObject(Value(applicationVersion), kLastVersionUsedKey);
        const double grace = (daysUntilPrompt - 1) * kSecondsPerDay;
        if (first && !ratedAnyVersion()) {
            // A new version asks no earlier than a day after the update.
            if (now - *first > grace) defaults()->fitObject(Value::date(now - grace), kFirstUsedKey);
        } else {
            defaults()->fitObject(Value::date(now), kFirstUsedKey);
            defaults()->fitInteger(0, kUseCountKey);
            defaults()->fitInteger(0, kEventCountKey);
            defaults()->fitObject(Value(), kLastRemindedKey);
        }
        announce("RatePromptDidDetectAppUpdate", &RatePromptDelegate::RatePromptDidDetectAppUpdate);
    }
    incrementUseCount();
    checkForConnectivityInBackground();
    if (promptAtLaunch) promptIfAllCriteriaMet();
}

void RatePrompt::applicationWillEnterForeground() {
    if (UIApplication::sharedApplication()->applicationState() != UIApplicationState::Background) return;
    incrementUseCount();
    checkForConnectivityInBackground();
    if (promptAtLaunch) promptIfAllCriteriaMet();
}

void configureRatePromptAtLaunch() {
    auto prompt = RatePrompt::sharedInstance();
    prompt->daysUntilPrompt = 3;
    prompt->usesUntilPrompt = 1;
    prompt->verboseLogging = false;
}
