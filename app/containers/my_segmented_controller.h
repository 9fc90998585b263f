// A container showing one of its storyboard children under a segmented control in the navigation
// bar. Subclasses list the children; indices out of range are only remembered as the default.
// Main thread only.
#pragma once

#include <vector>

#include "app/base/my_view_controller.h"
#include "app/containers/container_children.h"
#include "platform/ui/control/ui_segmented_control.h"

class MySegmentedController : public SelectedChildAnswers<MyViewController>, public SegmentedContainer {
public:
    KORVA_MAKE(MySegmentedController)

    // Entries with "storyboard" (identifier) and "label" (segment title); none in the base.
    virtual Value getChildArray() { return {}; }
    // Called for each child as it is made.
    virtual void initializeVC(std::size_t /*index*/, const std::shared_ptr<UIViewController>& /*vc*/) {}

    // The children, made on first access; an identifier nobody knows is skipped with its label.
    const std::vector<std::shared_ptr<UIViewController>>& viewControllers();
    std::shared_ptr<UIViewController> selectedChild() const override { return selected_.lock(); }

    long defaultIndex() const { return defaultIndex_; }
    void setDefaultIndex(long i) { defaultIndex_ = i; }
    std::size_t selectedIndex() const { return selectedIndex_; }
    void setSelectedIndex(long i);
    const std::shared_ptr<UISegmentedControl>& seg() const { return seg_; }
    std::shared_ptr<UIView> container();

    void setSegText(const UIViewController& child, const std::string& text) override;
    void updateNav();

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;

    std::string className() const override { return "MySegmentedController"; }

protected:
    MySegmentedController() = default;

private:
    void setSelectedIndex0(std::size_t i);
    void makeChildren();

    long defaultIndex_ = 0;
    std::size_t selectedIndex_ = 0;
    std::weak_ptr<UIViewController> selected_;
    std::shared_ptr<UIView> container_;
    bool childrenMade_ = false;
    std::vector<std::shared_ptr<UIViewController>> children_;
    std::vector<std::string> labels_;
    std::shared_ptr<UISegmentedControl> seg_;
};
