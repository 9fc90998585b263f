// The split view controller: a two-pane container, the primary controller in a column on the left
// and the secondary one filling the rest. Main-thread only.
#pragma once

#include <memory>
#include <vector>

#include "platform/ui/controller/ui_view_controller.h"

class UISplitViewController : public UIViewController {
public:
    KORVA_MAKE(UISplitViewController)
    static constexpr CGFloat kPrimaryColumnWidth = 320;

    // The primary and, when given, the secondary controller; earlier children leave.
    const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const { return panes_; }
    void setViewControllers(std::vector<std::shared_ptr<UIViewController>> controllers);

    void viewDidLoad() override;
    void viewDidLayoutSubviews() override;
    std::string className() const override { return "UISplitViewController"; }

protected:
    UISplitViewController() = default;

private:
    std::vector<std::shared_ptr<UIViewController>> panes_;
};
