// Alerts and action sheets: a title, a message, text fields (alerts only) and actions, drawn as
// our own pop-up over the screen. Choosing an action dismisses the pop-up, then runs the action's
// handler.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/gesture/ui_touch.h"

class UITextField;

enum class UIAlertActionStyle { Default = 0, Cancel = 1, Destructive = 2 };
enum class UIAlertControllerStyle { ActionSheet = 0, Alert = 1 };

class UIAlertAction : public NSObject {
public:
    KORVA_MAKE(UIAlertAction)
    using Handler = std::function<void(UIAlertAction&)>;

    const std::string& title() const { return title_; }
    UIAlertActionStyle style() const { return style_; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool e);
    // Runs the handler (if any).
    void run();
    std::string className() const override { return "UIAlertAction"; }

protected:
    UIAlertAction(std::string title, UIAlertActionStyle style, Handler handler)
        : title_(std::move(title)), style_(style), handler_(std::move(handler)) {}

private:
    friend class UIAlertController;
    std::string title_;
    UIAlertActionStyle style_;
    Handler handler_;
    bool enabled_ = true;
    std::function<void()> onChange_;
};

class UIAlertController : public UIViewController {
public:
    KORVA_MAKE(UIAlertController)
    void init() override;

    const std::string& message() const { return message_; }
    void setMessage(std::string m);
    void setTitle(std::string t) override;
    UIAlertControllerStyle preferredStyle() const { return style_; }

    // A second cancel action is refused (false), as is an action already added.
    bool addAction(const std::shared_ptr<UIAlertAction>& action);
    const std::vector<std::shared_ptr<UIAlertAction>>& actions() const { return actions_; }
    // Alerts only (false for an action sheet).
    bool addTextField(std::function<void(UITextField&)> configure = nullptr);
    const std::vector<std::shared_ptr<UITextField>>& textFields() const { return textFields_; }
    std::shared_ptr<UIAlertAction> preferredAction() const { return preferred_.lock(); }
    void setPreferredAction(const std::shared_ptr<UIAlertAction>& a) { preferred_ = a; }

    // A tap on an action: the pop-up goes, then the handler runs. Ignored for a disabled action,
    // one not in this alert, or after an action was already chosen.
    bool chooseAction(const std::shared_ptr<UIAlertAction>& action);
    bool chooseActionWithTitle(const std::string& title);
    // A tap outside an action sheet chooses its cancel action, if it has one.
    bool tapOutside();

    // Actions in the order they are shown (the cancel action last in a list, first in a pair).
    std::vector<std::shared_ptr<UIAlertAction>> displayedActions() const;
    // The pop-up box within the view (for tests and snapshots).
    CGRect boxFrame() const;

    // An action sheet on a tablet points at its anchor from a popover.
    bool popoverOnTablet() const override { return style_ == UIAlertControllerStyle::ActionSheet; }

    void loadView() override;
    void viewDidLayoutSubviews() override;
    void viewDidAppear(bool animated) override;
    // While the alert is up, the screen it covers shows its tint dimmed.
    void viewWillAppear(bool animated) override;
    void viewDidDisappear(bool animated) override;
    std::string className() const override { return "UIAlertController"; }

protected:
    UIAlertController(std::string title = {}, std::string message = {},
                      UIAlertControllerStyle style = UIAlertControllerStyle::Alert);

private:
    class BoxView;
    class ActionView;
    class BackgroundView;
    void rebuild();

    std::string message_;
    UIAlertControllerStyle style_;
    std::vector<std::shared_ptr<UIAlertAction>> actions_;
    std::vector<std::shared_ptr<UITextField>> textFields_;
    std::weak_ptr<UIAlertAction> preferred_;
    std::shared_ptr<BoxView> box_;
    std::vector<std::shared_ptr<ActionView>> actionViews_;
    bool chosen_ = false;
    bool dismissOnAppear_ = false;  // an action was chosen while the alert was appearing
    std::weak_ptr<UIView> dimmed_;
};
