// The segmented container with storyboard children.
#include "app/containers/my_segmented_controller.h"

#include "foundation/global.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/text/attributed_string.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/theme/font.h"

const std::vector<std::shared_ptr<UIViewController>>& MySegmentedController::viewControllers() {
    if (!childrenMade_) makeChildren();
    return children_;
}

void MySegmentedController::makeChildren() {
    childrenMade_ = true;
    Value entries = getChildArray();
    for (std::size_t i = 0; i < entries.count(); ++i) {
        const Value& entry = entries[i];
        const Value& identifier = entry["storyboard"];
        auto child = identifier.isString() ? ::storyboard(self<UIViewController>(), identifier.stringValue()) : nullptr;
        if (!child) continue;  // its segment goes too, so segments and children stay aligned
        if (auto screen = std::dynamic_pointer_cast<MyViewController>(child))
            screen->setMySegmentedController(self<MySegmentedController>());
        initializeVC(children_.size(), child);
        children_.push_back(child);
        labels_.push_back(entry["label"].isString() ? entry["label"].stringValue() : std::string());
    }
}

std::shared_ptr<UIView> MySegmentedController::container() {
    if (!container_) container_ = view();
    return container_;
}

void MySegmentedController::viewDidLoad() {
    SelectedChildAnswers<MyViewController>::viewDidLoad();
    viewControllers();
    seg_ = UISegmentedControl::withItems(labels_);
    seg_->setTintColor(UIColor::blackColor());
    if (auto fonts = Global::shared()->font())
        seg_->setTitleTextAttributes({{NSFontAttributeName, Value(fonts->textFixedNormal())}}, UIControlStateNormal);
    seg_->setFrame({seg_->frame().origin, seg_->sizeThatFits({0, 0})});
    std::weak_ptr<MySegmentedController> weak = self<MySegmentedController>();
    seg_->addAction(
        [weak](UIControl& control) {
            if (auto strong = weak.lock())
                strong->setSelectedIndex(static_cast<UISegmentedControl&>(control).selectedSegmentIndex());
        },
        UIControlEventValueChanged);
    view()->addSubview(seg_);
    setSelectedIndex(defaultIndex_);
}

void MySegmentedController::setSelectedIndex(long i) {
    if (i < 0 || static_cast<std::size_t>(i) >= viewControllers().size()) {
        defaultIndex_ = i;
        return;
    }
    setSelectedIndex0(static_cast<std::size_t>(i));
}

void MySegmentedController::setSelectedIndex0(std::size_t i) {
    selectedIndex_ = i;
    auto chosen = children_[i];
    selected_ = chosen;
    auto into = container();
    for (const auto& child : children_) {
        if (child == chosen)
            activateChild(self<UIViewController>(), child, into);
        else
            deactivateChild(child);
    }
    if (seg_) {
        seg_->setSelectedSegmentIndex(static_cast<long>(i));
        view()->bringSubviewToFront(seg_);
    }
}

void MySegmentedController::setSegText(const UIViewController& child, const std::string& text) {
    for (std::size_t i = 0; i < children_.size(); ++i) {
        if (children_[i].get() != &child || !seg_) continue;
        if (seg_->titleForSegmentAtIndex(i) != text) seg_->setTitle(text, i);
    }
    setNavTitle(self<UIViewController>(), text);
}

void MySegmentedController::updateNav() {
    ::setNavView(self<UIViewController>(), seg_);
}

void MySegmentedController::viewWillAppear(bool animated) {
    SelectedChildAnswers<MyViewController>::viewWillAppear(animated);
    updateNav();
}

void MySegmentedController::viewDidAppear(bool animated) {
    SelectedChildAnswers<MyViewController>::viewDidAppear(animated);
    updateNav();
}

void MySegmentedController::viewWillDisappear(bool animated) {
    SelectedChildAnswers<MyViewController>::viewWillDisappear(animated);
    ::setNavView(self<UIViewController>(), nullptr);
}
