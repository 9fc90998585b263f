// A container with a tab bar of its own: a row of image-over-caption buttons along the bottom,
// sharing the width equally, and above it the selected child. A child that is a screen learns the
// container, so its navigation items go onto the container's. Out-of-range and negative indices
// are ignored. Main thread only.
#pragma once

#include <vector>

#include "app/base/my_view_controller.h"
#include "app/base/selected_child_answers.h"
#include "ui/controls/tab_bar_button.h"

class UIImage;
class UIStackView;

// Told when it becomes or stops being the selected child.
class MyTabBarCustomControllerChild {
public:
    virtual ~MyTabBarCustomControllerChild() = default;
    virtual void onMyTabBarCustomControllerSelectedThisItem(const std::shared_ptr<UIViewController>& /*container*/) {}
    virtual void onMyTabBarCustomControllerUnselectedThisItem(const std::shared_ptr<UIViewController>& /*container*/) {}
};

class MyTabBarCustomController : public SelectedChildAnswers<MyViewController>, public TabBarButtonDelegate {
public:
    KORVA_MAKE(MyTabBarCustomController)

    static constexpr CGFloat kTabBarHeight = 46;
    static constexpr CGFloat kContainerBottom = -45;
    static constexpr CGRect kButtonFrame{{0, 0}, {40, 65}};

    // Makes the registry's controller for the identifier and adds it; none (and no tab) for an
    // identifier the registry does not know.
    std::shared_ptr<UIViewController> addWithIdentifier(const std::string& identifier,
                                                        const std::shared_ptr<UIImage>& imageNormal,
                                                        const std::shared_ptr<UIImage>& imageSelected,
                                                        const std::string& text);
    // Adds the child with its tab button and returns it.
    std::shared_ptr<UIViewController> addWithVC(const std::shared_ptr<UIViewController>& vc,
                                                const std::shared_ptr<UIImage>& imageNormal,
                                                const std::shared_ptr<UIImage>& imageSelected, const std::string& text);
    void selectTab(long index);
    // The button of the tab, or none.
    std::shared_ptr<TabBarButton> tabButton(long index) const;
    void onTabBarButtonTap(TabBarButton& button) override;

    const std::vector<std::shared_ptr<UIViewController>>& viewControllers() const { return children_; }
    const std::vector<std::shared_ptr<TabBarButton>>& tabButtons() const { return buttons_; }
    std::shared_ptr<UIViewController> selectedChild() const override { return selected_.lock(); }
    const std::shared_ptr<UIView>& container();
    const std::shared_ptr<UIView>& tabbar();
    const std::shared_ptr<UIStackView>& stackView();

    void viewDidLoad() override;

    std::string className() const override { return "MyTabBarCustomController"; }

protected:
    MyTabBarCustomController() = default;

private:
    std::vector<std::shared_ptr<UIViewController>> children_;
    std::vector<std::shared_ptr<TabBarButton>> buttons_;
    std::weak_ptr<UIViewController> selected_;
    std::shared_ptr<UIView> container_, tabbar_;
    std::shared_ptr<UIStackView> stackView_;
};

// A child that stands for a tab acting as a button; it only carries a tag.
class MyTabBarJustButtonController : public MyViewController {
public:
    KORVA_MAKE(MyTabBarJustButtonController)
    long tag() const { return tag_; }
    void setTag(long tag) { tag_ = tag; }
    std::string className() const override { return "MyTabBarJustButtonController"; }

protected:
    MyTabBarJustButtonController() = default;

private:
    long tag_ = 0;
};
