// A container showing one of the children it is handed under a segmented control in the
// navigation bar. Main thread only.
#pragma once

#include <vector>

#include "app/base/my_view_controller.h"
#include "app/containers/container_children.h"
#include "platform/ui/control/ui_segmented_control.h"

// Told when it becomes or stops being the selected child.
class MySegControllerChild {
public:
    virtual ~MySegControllerChild() = default;
    virtual void onMySegControllerSelectedThisItem(const std::shared_ptr<UIViewController>& /*container*/) {}
    virtual void onMySegControllerUnselectedThisItem(const std::shared_ptr<UIViewController>& /*container*/) {}
};

class MySegController : public SelectedChildAnswers<MyViewController> {
public:
    KORVA_MAKE(MySegController)

    static constexpr CGFloat kSegWidth = 250, kSegHeight = 30;

    // Items with "vc" (a controller) and "title"; replaces the children and the control.
    void update(const Value& items);
    // Out-of-range and negative indices are ignored.
    void selectSeg(long index);
    void updateNav();

    const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const { return children_; }
    std::shared_ptr<UIViewController> selectedChild() const override { return selected_.lock(); }
    const std::shared_ptr<UISegmentedControl>& seg() const { return seg_; }

    void viewWillAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    std::string className() const override { return "MySegController"; }

protected:
    MySegController() = default;

private:
    std::vector<std::shared_ptr<UIViewController>> children_;
    std::weak_ptr<UIViewController> selected_;
    Value items_;
    std::shared_ptr<UISegmentedControl> seg_;
};
