// The keyboard bar of editing rows: Previous and Next on a momentary segmented control, and Done.
// Main-thread only.
#pragma once

#include <memory>

#include "platform/ui/bar/ui_toolbar.h"
#include "platform/ui/control/ui_segmented_control.h"

class FormActionBar;
class UIBarButtonItem;

class FormActionBarDelegate {
public:
    virtual ~FormActionBarDelegate() = default;
    virtual void actionBarNavigationControlValueChanged(FormActionBar& bar, UISegmentedControl& control) = 0;
    virtual void actionBarDoneButtonPressed(FormActionBar& bar, UIBarButtonItem& button) = 0;
};

class FormActionBar : public UIToolbar {
public:
    KORVA_MAKE(FormActionBar)
    void init() override;

    const std::shared_ptr<UISegmentedControl>& navigationControl() const { return navigation_; }
    const std::shared_ptr<UIBarButtonItem>& doneButton() const { return done_; }
    std::shared_ptr<FormActionBarDelegate> actionBarDelegate() const { return delegate_.lock(); }
    void setActionBarDelegate(const std::shared_ptr<FormActionBarDelegate>& d) { delegate_ = d; }

    void handleActionBarPreviousNext(UISegmentedControl& control);
    void handleActionBarDone(UIBarButtonItem& button);

    std::string className() const override { return "FormActionBar"; }

protected:
    explicit FormActionBar(std::weak_ptr<FormActionBarDelegate> delegate) : delegate_(std::move(delegate)) {}

private:
    std::weak_ptr<FormActionBarDelegate> delegate_;
    std::shared_ptr<UISegmentedControl> navigation_;
    std::shared_ptr<UIBarButtonItem> done_;
};
