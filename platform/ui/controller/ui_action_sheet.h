// The older action sheet: an optional title, buttons numbered 0, 1, ... in the order given, and a
// cancel button whose index comes after them. Shown from a toolbar, it is drawn as the platform's
// action sheet over the top-most controller; a chosen button dismisses it and then tells the
// delegate its index. The sheet it is drawn as holds it while it is up. Main-thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/runtime/object.h"

class UIActionSheet;
class UIAlertController;
class UIToolbar;

class UIActionSheetDelegate {
public:
    virtual ~UIActionSheetDelegate() = default;
    virtual void actionSheetClickedButtonAtIndex(UIActionSheet& /*sheet*/, long /*buttonIndex*/) {}
};

class UIActionSheet : public NSObject {
public:
    KORVA_MAKE(UIActionSheet)
    static constexpr long kNoButton = -1;

    const std::string& title() const { return title_; }
    std::shared_ptr<UIActionSheetDelegate> delegate() const { return delegate_.lock(); }
    long numberOfButtons() const { return static_cast<long>(buttons_.size()); }
    // Empty for an index with no button.
    std::string buttonTitleAtIndex(long index) const;
    long cancelButtonIndex() const { return cancelIndex_; }

    // Shows the sheet; false when there is no window to show it in or it is already up.
    bool showFromToolbar(const std::shared_ptr<UIToolbar>& toolbar);
    bool isVisible() const { return up_; }
    // As though the button had been chosen; an index with no button does nothing.
    void dismissWithClickedButtonIndex(long index, bool animated);
    std::shared_ptr<UIAlertController> alertController() const { return up_ ? sheet_.lock() : nullptr; }

    std::string className() const override { return "UIActionSheet"; }

protected:
    // The other buttons take indexes 0, 1, ...; the cancel button, when it has a title, the next.
    UIActionSheet(std::string title, std::shared_ptr<UIActionSheetDelegate> delegate,
                  std::optional<std::string> cancelTitle, std::vector<std::string> otherTitles);

private:
    void dismissed(long index);

    std::string title_;
    std::weak_ptr<UIActionSheetDelegate> delegate_;
    std::vector<std::string> buttons_;
    long cancelIndex_ = kNoButton;
    bool up_ = false;
    std::weak_ptr<UIAlertController> sheet_;
};
