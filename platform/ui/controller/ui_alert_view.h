// The older alert view: a title, a message and buttons numbered in the order they were added, one
// of which may be the cancel button. `show` puts it up at once over the key window's top-most
// controller (drawn as the platform's alert); a chosen button dismisses it and then tells the
// delegate its index. The alert it is drawn as holds it, so it lives while it is up. Main-thread
// only.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/runtime/object.h"

class UIAlertController;
class UIAlertView;

class UIAlertViewDelegate {
public:
    virtual ~UIAlertViewDelegate() = default;
    virtual void alertViewDidDismissWithButtonIndex(UIAlertView& /*alertView*/, long /*buttonIndex*/) {}
};

class UIAlertView : public NSObject {
public:
    KORVA_MAKE(UIAlertView)
    static constexpr long kNoButton = -1;

    const std::string& title() const { return title_; }
    const std::string& message() const { return message_; }
    std::shared_ptr<UIAlertViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<UIAlertViewDelegate>& d) { delegate_ = d; }

    // Returns the new button's index.
    long addButtonWithTitle(const std::string& title);
    long numberOfButtons() const { return static_cast<long>(buttons_.size()); }
    // Empty for an index with no button.
    std::string buttonTitleAtIndex(long index) const;
    // kNoButton when there is none; an index with no button is refused.
    long cancelButtonIndex() const { return cancelIndex_; }
    void setCancelButtonIndex(long index);

    // Shows the alert; false when there is no window to show it in or it is already up.
    bool show();
    bool isVisible() const { return up_; }
    // Dismisses the alert as though the button had been chosen; an index with no button does nothing.
    void dismissWithClickedButtonIndex(long index, bool animated);
    // The alert drawn for it while it is up (for tests and snapshots).
    std::shared_ptr<UIAlertController> alertController() const { return up_ ? alert_.lock() : nullptr; }

    std::string className() const override { return "UIAlertView"; }

protected:
    UIAlertView(std::string title, std::string message, std::shared_ptr<UIAlertViewDelegate> delegate = nullptr)
        : title_(std::move(title)), message_(std::move(message)), delegate_(delegate) {}

private:
    void dismissed(long index);

    std::string title_, message_;
    std::weak_ptr<UIAlertViewDelegate> delegate_;
    std::vector<std::string> buttons_;
    long cancelIndex_ = kNoButton;
    bool up_ = false;
    std::weak_ptr<UIAlertController> alert_;
};
