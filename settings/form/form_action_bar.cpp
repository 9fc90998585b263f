// The keyboard bar: built once from the kit's images and texts.
#include "settings/form/form_action_bar.h"

#include "platform/runtime/weak_bind.h"
#include "platform/storage/bundle.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/draw/graphics.h"
#include "settings/form/form_string_measure.h"

namespace {
constexpr CGFloat kSegmentWidth = 40;
constexpr CGSize kPreviousOffset{-4, 0};

// A clear image of one point: the segments are drawn without a divider line.
std::shared_ptr<UIImage> emptyImage() {
    UIGraphicsBeginImageContext({1, 1});
    auto image = UIGraphicsGetImageFromCurrentImageContext();
    UIGraphicsEndImageContext();
    return image;
}
}  // namespace

void FormActionBar::init() {
    UIToolbar::init();
    sizeToFit();
    std::weak_ptr<FormActionBar> weak = self<FormActionBar>();
    done_ = UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::Done,
                                            weakBind(self<FormActionBar>(), &FormActionBar::handleActionBarDone));

    navigation_ = UISegmentedControl::withItems({form_localized("Previous"), form_localized("Next")});
    navigation_->setMomentary(true);
    navigation_->addAction(
        [weak](UIControl& c) {
            if (auto bar = weak.lock()) bar->handleActionBarPreviousNext(static_cast<UISegmentedControl&>(c));
        },
        UIControlEventValueChanged);
    auto bundle = FormTableViewManagerBundle();
    if (auto left = UIImage::imageNamed("UIButtonBarArrowLeft", bundle); left && bundle) navigation_->setImage(left, 0);
    if (auto right = UIImage::imageNamed("UIButtonBarArrowRight", bundle); right && bundle)
        navigation_->setImage(right, 1);
    navigation_->setDividerImage(emptyImage());
    if (bundle) navigation_->setBackgroundImage(UIImage::imageNamed("Transparent", bundle), UIControlStateNormal);
    navigation_->setWidth(kSegmentWidth, 0);
    navigation_->setWidth(kSegmentWidth, 1);
    navigation_->setContentOffset(kPreviousOffset, 0);
    navigation_->setFrame(CGRectMake(0, 0, 2 * kSegmentWidth, 32));

    setItems({UIBarButtonItem::withCustomView(navigation_),
              UIBarButtonItem::withSystemItem(UIBarButtonSystemItem::FlexibleSpace, nullptr), done_});
}

void FormActionBar::handleActionBarPreviousNext(UISegmentedControl& control) {
    auto keep = self<FormActionBar>();
    if (auto d = actionBarDelegate()) d->actionBarNavigationControlValueChanged(*this, control);
}

void FormActionBar::handleActionBarDone(UIBarButtonItem& button) {
    auto keep = self<FormActionBar>();
    if (auto d = actionBarDelegate()) d->actionBarDoneButtonPressed(*this, button);
}
