// The metadata pop-up's table, size and taps.
#include "editor/photo/pop_exif_view.h"

#include <cmath>

#include "foundation/device.h"
#include "foundation/global.h"
#include "platform/ui/controller/ui_view_controller.h"
#include "platform/ui/draw/color.h"
#include "platform/ui/gesture/ui_tap_gesture_recognizer.h"
#include "ui/layout/view_custom_constraints.h"

void PopExifView::init() {
    PopArrowedView::init();
    if (auto owner = vc()) {
        CGSize v = owner->view()->bounds().size;
        CGFloat side = std::floor(std::min(std::min(v.width, v.height) * kSideShare, kMaxSide));
        setSize(CGSize{side, side});
    }
    tableView_ = UITableView::make(CGRectZero, UITableViewStyle::Plain);
    tableView_->setRowHeight(UITableViewAutomaticDimension);
    tableView_->setDataSource(self<PopExifView>());
    tableView_->setDelegate(self<PopExifView>());
    tableView_->setTranslatesAutoresizingMaskIntoConstraints(false);
    container()->addSubview(tableView_);
    addConstraintsFull(tableView_, container(), 0, 0, 0, 0);

    // Taps on the panel are taken so that they never reach the background.
    container()->setUserInteractionEnabled(true);
    UIViewAddGestureRecognizer(*container(), UITapGestureRecognizer::make([](UIGestureRecognizer&) {}));
    hideOnTapOutside();
    updateDarkMode();
}

void PopExifView::show(const std::shared_ptr<NSObject>& sender, const Value& properties, Callback completion) {
    sections_ = buildExifSections(properties);
    tableView_->reloadData();
    PopArrowedView::show(
        sender,
        [completion = std::move(completion)] {
            if (completion) completion();
        },
        [] {});
}

void PopExifView::updateDarkMode() {
    PopArrowedView::updateDarkMode();
    bg()->setBackgroundColor(UIColor::colorWithWhite(0, kBackgroundAlpha));
    auto device = Global::shared()->device();
    setBgColor(device && device->isDarkMode() ? UIColor::blackColor() : UIColor::whiteColor());
}

std::size_t PopExifView::numberOfRowsInSection(UITableView&, std::size_t section) {
    return section < sections_.arr.size() ? sections_.arr[section].size() : 0;
}

std::optional<std::string> PopExifView::titleForHeaderInSection(UITableView&, std::size_t section) {
    if (section >= sections_.secLabels.size()) return std::nullopt;
    return sections_.secLabels[section];
}

std::shared_ptr<UITableViewCell> PopExifView::cellForRowAtIndexPath(UITableView& table, NSIndexPath path) {
    auto cell = table.dequeueReusableCellWithIdentifier(kCellIdentifier);
    if (!cell) cell = UITableViewCell::make(UITableViewCellStyle::Value1, kCellIdentifier);
    const auto& row = sections_.arr[path.section][path.row];
    cell->textLabel()->setNumberOfLines(kMaxLines);
    cell->detailTextLabel()->setNumberOfLines(kMaxLines);
    cell->textLabel()->setText(row.first);
    cell->detailTextLabel()->setText(row.second);
    return cell;
}
