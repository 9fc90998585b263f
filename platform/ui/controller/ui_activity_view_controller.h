// The share sheet: lists the activities offered for some items; choosing one performs it and
// reports through the completion. Copy puts the shared text (strings and URLs, one per line) on
// the general pasteboard, and so on the desktop's clipboard; Save Image adds the shared images to
// the photo library (offered only when images are shared); Mail hands subject and text to the
// desktop's mail program (offered only where mail can be sent) and reports when the program has
// taken them or failed. Nothing is offered that this machine has no service for. Every choice is
// recorded for tests. Main thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/runtime/value.h"
#include "platform/ui/controller/ui_view_controller.h"

class UIImage;

inline constexpr const char* UIActivityTypeCopyToPasteboard = "com.korva.activity.copy";
inline constexpr const char* UIActivityTypeSaveToCameraRoll = "com.korva.activity.save-to-photos";
inline constexpr const char* UIActivityTypeMail = "com.korva.activity.mail";
inline constexpr const char* UIActivityTypeMessage = "com.korva.activity.message";
inline constexpr const char* UIActivityTypePrint = "com.korva.activity.print";

class UIActivityViewController : public UIViewController {
public:
    KORVA_MAKE(UIActivityViewController)
    // Activity type (empty when cancelled), completed, returned items, error text (empty: none).
    using Completion = std::function<void(const std::string&, bool, const ValueArray&, const std::string&)>;

    // The activities every sheet offers (the stand-in's configuration).
    static std::vector<std::string> availableActivityTypes();
    static void setAvailableActivityTypes(std::vector<std::string> types);
    struct Share {
        std::string activityType;
        ValueArray items;
        Value subject;
    };
    // Shares performed since the last clear, oldest first.
    static const std::vector<Share>& performedShares();
    static void clearPerformedShares();

    const ValueArray& activityItems() const { return items_; }
    // Activities offered by this sheet: the available ones minus the excluded.
    std::vector<std::string> activityTypes() const;
    void setExcludedActivityTypes(std::vector<std::string> t) { excluded_ = std::move(t); }
    void setCompletionWithItemsHandler(Completion c) { completion_ = std::move(c); }
    // Extra values (the "subject" key is used by mail-like activities).
    void setValueForKey(const std::string& key, Value v) { values_.set(key, std::move(v)); }

    // The text the items share: their strings and URLs, one per line.
    std::string sharedText() const;
    // The images among the items, in order.
    std::vector<std::shared_ptr<UIImage>> sharedImages() const;

    // The user's choice: performs the activity, dismisses, then reports (not completed, with the
    // reason, when the activity failed). False for an activity not offered or after a choice was made.
    bool chooseActivity(const std::string& type);
    bool cancel();

    // On a tablet the sheet points at its anchor from a popover.
    bool popoverOnTablet() const override { return true; }

    void loadView() override;
    std::string className() const override { return "UIActivityViewController"; }

protected:
    explicit UIActivityViewController(ValueArray items = {}) : items_(std::move(items)) {}

private:
    // Does the activity's work, then calls done once (at once or later) with the reason it
    // failed, or empty.
    void perform(const std::string& type, std::function<void(const std::string&)> done);
    void saveImages(std::function<void(const std::string&)> done);
    void finish(const std::string& type, bool completed, const std::string& error);
    ValueArray items_;
    std::vector<std::string> excluded_;
    Completion completion_;
    ValueDictionary values_;
    bool done_ = false;
};
