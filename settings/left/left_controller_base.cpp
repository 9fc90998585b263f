// The side menu's scene, its rows and their cells.
#include "settings/left/left_controller_base.h"

#include "foundation/global.h"
#include "platform/ui/control/ui_button.h"
#include "platform/ui/control/ui_image_view.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/control/ui_switch.h"
#include "settings/left/left_cells.h"
#include "settings/value_members.h"
#include "ui/layout/scroll_view_custom.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"
#include "widgets/flat/flat_palette.h"

dispatch_queue_t LeftControllerBase::q() {
    if (!q_) q_ = dispatch_queue_create("LeftController");
    return q_;
}

void LeftControllerBase::loadView() {
    auto root = UIView::make(CGRectMake(0, 0, kSceneWidth, 480));
    root->setBackgroundColor(Global::shared()->color()->backgroundDefault());

    auto header = UIView::make(CGRectMake(0, 0, kSceneWidth, kHeaderHeight));
    header->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    const CGFloat logoTop = (kHeaderHeight - kLogoSize) / 2;
    auto logo = UIButton::buttonWithType(UIButtonType::Custom);
    logo->setFrame(CGRectMake(kHeaderMargin, logoTop, kLogoSize, kLogoSize));
    logo->setTag(kLogoTag);
    header->addSubview(logo);
    const CGFloat nameLeft = kHeaderMargin * 2 + kLogoSize;
    auto name = UIButton::buttonWithType(UIButtonType::Custom);
    name->setFrame(CGRectMake(nameLeft, logoTop, kSceneWidth - nameLeft - kHeaderMargin, kLogoSize));
    name->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
    name->setTag(kNameTag);
    header->addSubview(name);
    auto extra = UIView::make(CGRectMake(0, kHeaderHeight - 1, kSceneWidth, 1));
    extra->setTag(kHeaderExtraTag);
    header->addSubview(extra);
    root->addSubview(header);

    auto table =
        UITableView::make(CGRectMake(0, kHeaderHeight, kSceneWidth, 480 - kHeaderHeight), UITableViewStyle::Plain);
    table->setTag(kTableTag);
    table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    table->setBackgroundColor(UIColor::clearColor());
    registerLeftCells(*table);
    root->addSubview(table);
    setView(root);
}

void LeftControllerBase::viewDidLoad() {
    MyViewController::viewDidLoad();
    auto table = std::dynamic_pointer_cast<UITableView>(view()->viewWithTag(kTableTag));
    tableView_ = table;
    if (table) {
        table->setDataSource(self<LeftControllerBase>());
        table->setDelegate(self<LeftControllerBase>());
    }
    updateData();
}

UIInterfaceOrientationMask LeftControllerBase::supportedInterfaceOrientations() const {
    return UIInterfaceOrientationMaskAll;
}

void LeftControllerBase::updateView() {
    if (auto table = tableView()) table->reloadData();
}

void LeftControllerBase::reload() {
    updateApps();
}

void LeftControllerBase::onDidShow() {
    if (auto table = tableView()) scrollToTop(*table, true);
    reload();
}

Value LeftControllerBase::itemAt(NSIndexPath path) const {
    if (path.section >= arrItems_.count()) return Value();
    const Value items = arrItems_[path.section]["items"];
    if (!items.isArray() || path.row >= items.count()) return Value();
    return items[path.row];
}

bool LeftControllerBase::isMoreAppsSection(std::size_t section) const {
    return section < arrItems_.count() && textMember(arrItems_[section], "text") == kMoreAppsSection;
}

std::size_t LeftControllerBase::numberOfSectionsInTableView(UITableView&) {
    return arrItems_.count();
}

std::size_t LeftControllerBase::numberOfRowsInSection(UITableView&, std::size_t section) {
    if (section >= arrItems_.count()) return 0;
    const Value items = arrItems_[section]["items"];
    return items.isArray() ? items.count() : 0;
}

std::optional<std::string> LeftControllerBase::titleForHeaderInSection(UITableView&, std::size_t section) {
    if (section >= arrItems_.count()) return std::nullopt;
    std::string title = textMember(arrItems_[section], "text");
    return title.empty() ? std::nullopt : std::optional(title);
}

CGFloat LeftControllerBase::heightForRowAtIndexPath(UITableView&, NSIndexPath path) {
    const Value item = itemAt(path);
    const Value height = item.isDictionary() ? item["height"] : Value();
    return height.isNumber() ? height.doubleValue() : UITableViewAutomaticDimension;
}

std::shared_ptr<UITableViewCell> LeftControllerBase::cellForRowAtIndexPath(UITableView& table, NSIndexPath path) {
    const Value item = itemAt(path);
    const std::string type = textMember(item, "type");
    const char* identifier = type == "value"    ? LeftCell::kValue
                             : type == "switch" ? LeftCell::kSwitch
                             : type == "app"    ? LeftCell::kApp
                                                : LeftCell::kBasic;
    auto cell = table.dequeueReusableCellWithIdentifier(identifier, path);
    if (type == "app")
        configureAppCell(*cell, path.row);
    else
        configureCell(*cell, item);
    return cell;
}

void LeftControllerBase::configureCell(UITableViewCell& cell, const Value& item) {
    auto global = Global::shared();
    auto content = cell.contentView();
    const std::string type = textMember(item, "type");
    if (auto title = std::dynamic_pointer_cast<UILabel>(content->viewWithTag(LeftCell::kTitleTag))) {
        LeftCell::setRowText(*title, textMember(item, "text"));
        title->setFont(global->font()->textNormal());
        const bool rate = type == "basic" && textMember(item, "key") == "rate";
        title->setTextColor(rate ? flatOrangeColor() : global->color()->labelDefault());
    }
    if (type == "value") {
        if (auto detail = std::dynamic_pointer_cast<UILabel>(content->viewWithTag(LeftCell::kDetailTag)))
            LeftCell::setRowText(*detail, textMember(item, "value"));
    } else if (type == "switch") {
        if (auto toggle = std::dynamic_pointer_cast<UISwitch>(content->viewWithTag(LeftCell::kSwitchTag))) {
            const Value on = item["value"];
            toggle->setOn(on.isNumber() && on.boolValue());
        }
        std::weak_ptr<LeftControllerBase> weak = self<LeftControllerBase>();
        if (auto* left = dynamic_cast<LeftCell*>(&cell))
            left->setOnSwitch([weak](UISwitch& toggle) {
                if (auto me = weak.lock()) me->onSwitch(toggle);
            });
    }
}
