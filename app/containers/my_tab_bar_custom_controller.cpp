// The container with its own tab bar.
#include "app/containers/my_tab_bar_custom_controller.h"

#include <algorithm>

#include "app/containers/container_children.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/view/ui_stack_view.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/controls/anim_button.h"
#include "ui/layout/view_custom_constraints.h"
#include "ui/layout/view_custom_style.h"

namespace {
constexpr CGFloat kBarLeft = -1, kBarRight = 1, kBarBottom = 1;
constexpr CGFloat kBorderWidth = 0.5, kBorderWhite = 0.5;
}  // namespace

const std::shared_ptr<UIView>& MyTabBarCustomController::container() {
    if (!container_) container_ = UIView::make();
    return container_;
}

const std::shared_ptr<UIView>& MyTabBarCustomController::tabbar() {
    if (!tabbar_) tabbar_ = UIView::make();
    return tabbar_;
}

const std::shared_ptr<UIStackView>& MyTabBarCustomController::stackView() {
    if (!stackView_) {
        stackView_ = UIStackView::make();
        stackView_->setAxis(UILayoutConstraintAxis::Horizontal);
        stackView_->setDistribution(UIStackViewDistribution::FillEqually);
        stackView_->setAlignment(UIStackViewAlignment::Fill);
        stackView_->setSpacing(0);
    }
    return stackView_;
}

void MyTabBarCustomController::viewDidLoad() {
    SelectedChildAnswers<MyViewController>::viewDidLoad();
    auto own = view();
    own->addSubview(tabbar());
    own->addSubview(container());
    tabbar()->addSubview(stackView());
    addConstraintsB(tabbar(), own, kBarLeft, kBarRight, kBarBottom, kTabBarHeight);
    addConstraintsFull(stackView(), tabbar(), 0, 0, 0, 0);
    addConstraintsFull(container(), own, 0, 0, 0, kContainerBottom);
    assignBorder(*tabbar(), kBorderWidth, UIColor::colorWithWhite(kBorderWhite, 1));
}

std::shared_ptr<UIViewController> MyTabBarCustomController::addWithIdentifier(
    const std::string& identifier, const std::shared_ptr<UIImage>& imageNormal,
    const std::shared_ptr<UIImage>& imageSelected, const std::string& text) {
    auto child = ::storyboard(self<UIViewController>(), identifier);
    if (!child) return nullptr;  // no child, no tab: buttons and children stay aligned
    return addWithVC(child, imageNormal, imageSelected, text);
}

std::shared_ptr<UIViewController> MyTabBarCustomController::addWithVC(const std::shared_ptr<UIViewController>& vc,
                                                                      const std::shared_ptr<UIImage>& imageNormal,
                                                                      const std::shared_ptr<UIImage>& imageSelected,
                                                                      const std::string& text) {
    if (!vc) return nullptr;
    if (auto screen = std::dynamic_pointer_cast<MyViewController>(vc))
        screen->setMyTabBarCustomController(self<UIViewController>());
    children_.push_back(vc);
    auto button = TabBarButton::make(kButtonFrame);
    button->setDelegate(self<MyTabBarCustomController>());
    button->image()->setImages(imageNormal, imageSelected);
    button->text()->setTitle(text, UIControlStateNormal);
    button->relayout();
    buttons_.push_back(button);
    stackView()->addArrangedSubview(button);
    return vc;
}

void MyTabBarCustomController::selectTab(long index) {
    if (index < 0 || static_cast<std::size_t>(index) >= children_.size()) return;
    auto chosen = children_[static_cast<std::size_t>(index)];
    selected_ = chosen;
    auto me = self<UIViewController>();
    for (std::size_t j = 0; j < children_.size(); ++j) {
        const auto& child = children_[j];
        auto* listener = dynamic_cast<MyTabBarCustomControllerChild*>(child.get());
        const auto& image = buttons_[j]->image();
        if (child == chosen) {
            if (listener) listener->onMyTabBarCustomControllerSelectedThisItem(me);
            activateChild(me, child, container());
            if (!image->on()) image->setOn(true, [](AnimButton&) {});
        } else {
            if (listener) listener->onMyTabBarCustomControllerUnselectedThisItem(me);
            deactivateChild(child);
            if (image->on()) image->setOn(false, [](AnimButton&) {});
        }
    }
}

std::shared_ptr<TabBarButton> MyTabBarCustomController::tabButton(long index) const {
    if (index < 0 || static_cast<std::size_t>(index) >= buttons_.size()) return nullptr;
    return buttons_[static_cast<std::size_t>(index)];
}

void MyTabBarCustomController::onTabBarButtonTap(TabBarButton& button) {
    auto found = std::find_if(buttons_.begin(), buttons_.end(), [&](const auto& b) { return b.get() == &button; });
    if (found != buttons_.end()) selectTab(found - buttons_.begin());
}
