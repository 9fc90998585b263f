// The segmented container with handed-in children.
#include "app/containers/my_seg_controller.h"

#include "foundation/global.h"
#include "platform/ui/text/attributed_string.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/theme/font.h"

namespace {
constexpr CGFloat kTintRed = 236.0 / 255, kTintGreen = 64.0 / 255, kTintBlue = 122.0 / 255;
}  // namespace

void MySegController::update(const Value& items) {
    for (const auto& child : children_) deactivateChild(child);
    children_.clear();
    selected_.reset();
    items_ = items;
    std::vector<std::string> titles;
    for (std::size_t i = 0; i < items.count(); ++i) {
        auto child = items[i]["vc"].objectAs<UIViewController>();
        if (!child) continue;  // no controller, no segment
        children_.push_back(child);
        titles.push_back(items[i]["title"].isString() ? items[i]["title"].stringValue() : std::string());
    }
    seg_ = UISegmentedControl::withItems(titles);
    seg_->setTintColor(UIColor::colorWithRed(kTintRed, kTintGreen, kTintBlue, 1));
    if (auto fonts = Global::shared()->font())
        seg_->setTitleTextAttributes({{NSFontAttributeName, Value(fonts->textFixedNormal())}}, UIControlStateNormal);
    seg_->setFrame(CGRectMake(0, 0, kSegWidth, kSegHeight));
    std::weak_ptr<MySegController> weak = self<MySegController>();
    seg_->addAction(
        [weak](UIControl& control) {
            if (auto strong = weak.lock())
                strong->selectSeg(static_cast<UISegmentedControl&>(control).selectedSegmentIndex());
        },
        UIControlEventValueChanged);
    updateView();
}

void MySegController::selectSeg(long index) {
    if (index < 0 || static_cast<std::size_t>(index) >= children_.size()) return;
    auto chosen = children_[static_cast<std::size_t>(index)];
    selected_ = chosen;
    auto me = self<UIViewController>();
    for (const auto& child : children_) {
        auto* listener = dynamic_cast<MySegControllerChild*>(child.get());
        if (child == chosen) {
            if (listener) listener->onMySegControllerSelectedThisItem(me);
            activateChild(me, child, view());
        } else {
            if (listener) listener->onMySegControllerUnselectedThisItem(me);
            deactivateChild(child);
        }
    }
    if (seg_) seg_->setSelectedSegmentIndex(index);
}

void MySegController::updateNav() {
    auto me = self<UIViewController>();
    ::setNavView(me, seg_);
    ::setNavLeft(me, {});
    ::setNavRight(me, {});
}

void MySegController::viewWillAppear(bool animated) {
    SelectedChildAnswers<MyViewController>::viewWillAppear(animated);
    updateView();
    updateNav();
}

void MySegController::viewWillDisappear(bool animated) {
    SelectedChildAnswers<MyViewController>::viewWillDisappear(animated);
    ::setNavView(self<UIViewController>(), nullptr);
}
