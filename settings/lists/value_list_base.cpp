// The value lists' shared scene, navigation, cell and placeholder.
#include "settings/lists/value_list_base.h"

#include "foundation/global.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/input/ui_search_bar.h"
#include "settings/empty/scroll_view_empty_state.h"
#include "settings/lists/list_texts.h"
#include "ui/layout/bar_button_item_custom.h"
#include "ui/theme/font.h"

std::shared_ptr<UIBarButtonItem> ValueListBase::bbCancel() {
    if (!bbCancel_)
        bbCancel_ = initWithBarButtonSystemItem1(UIBarButtonSystemItem::Cancel,
                                                 weakBind(self<ValueListBase>(), &ValueListBase::onCancel));
    return bbCancel_;
}

void ValueListBase::loadView() {
    auto root = UIView::make(CGRectMake(0, 0, 320, 480));
    root->setBackgroundColor(UIColor::systemBackgroundColor());
    CGFloat top = 0;
    if (hasSearchBar()) {
        auto bar = UISearchBar::make(CGRectMake(0, 0, 320, kSearchBarHeight));
        bar->setTag(kSearchBarTag);
        bar->setAutoresizingMask(UIViewAutoresizingFlexibleWidth);
        root->addSubview(bar);
        top = kSearchBarHeight;
    }
    auto table = UITableView::make(CGRectMake(0, top, 320, 480 - top), UITableViewStyle::Plain);
    table->setTag(kTableTag);
    table->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
    table->registerCell(kCellIdentifier, [style = cellStyle()](const std::string& identifier) {
        return UITableViewCell::make(style, identifier);
    });
    root->addSubview(table);
    setView(root);
}

void ValueListBase::viewDidLoad() {
    MyViewController::viewDidLoad();
    auto table = std::dynamic_pointer_cast<UITableView>(view()->viewWithTag(kTableTag));
    tableView_ = table;
    if (table) {
        table->setTableFooterView(UIView::make(CGRectZero));
        setEmptyStateSource(*table, self<ValueListBase>());
        setEmptyStateDelegate(*table, self<ValueListBase>());
        table->setDelegate(self<ValueListBase>());
        table->setDataSource(self<ValueListBase>());
    }
    updateData();
    updateNav();
}

void ValueListBase::viewWillAppear(bool animated) {
    MyViewController::viewWillAppear(animated);
    updateView();
}

void ValueListBase::viewDidAppear(bool animated) {
    MyViewController::viewDidAppear(animated);
    updateNav();
}

void ValueListBase::updateView() {
    if (auto table = tableView()) table->reloadData();
}

void ValueListBase::updateNav() {
    auto me = self<UIViewController>();
    setNavTitle(me, textTitle_);
    if (isModal(*this) && offersCancel()) ::setNavLeft(me, {bbCancel()});
}

std::shared_ptr<UITableViewCell> ValueListBase::cellForString(UITableView& table, NSIndexPath path,
                                                              const std::string& text) {
    auto cell = table.dequeueReusableCellWithIdentifier(kCellIdentifier, path);
    cell->textLabel()->setText(text);
    cell->textLabel()->setFont(Global::shared()->font()->textNormal());
    cell->setAccessoryType(!def_.empty() && def_ == text ? UITableViewCellAccessoryType::Checkmark
                                                         : UITableViewCellAccessoryType::None);
    return cell;
}

std::shared_ptr<NSAttributedString> ValueListBase::descriptionForEmptyState(UIScrollView&) {
    return listPlaceholderText(listPlaceholderString(isSearching()));
}
