// The value lists' shared scene, navigation, cell and placeholder.
#include "settings/lists/value_list_base.h"

#include "app/base/portrait_controller.h"
#include "foundation/global.h"
#include "platform/runtime/weak_bind.h"
#include "platform/ui/bar/ui_bar_button_item.h"
#include "platform/ui/control/ui_label.h"
#include "platform/ui/input/ui_search_bar.h"
#include "settings/empty/scroll_view_empty_state.h"
#include "settings/lists/list_texts.h"
#include "ui/layout/bar_button_item_custom.h"
#include "ui/theme/font.h"

template <class Screen>
std::shared_ptr<UIBarButtonItem> ValueListBase<Screen>::bbCancel() {
    if (!bbCancel_)
        bbCancel_ = initWithBarButtonSystemItem1(
            UIBarButtonSystemItem::Cancel, weakBind(this->template self<ValueListBase>(), &ValueListBase::onCancel));
    return bbCancel_;
}

template <class Screen>
void ValueListBase<Screen>::loadView() {
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
    this->setView(root);
}

template <class Screen>
void ValueListBase<Screen>::viewDidLoad() {
    Screen::viewDidLoad();
    auto table = std::dynamic_pointer_cast<UITableView>(this->view()->viewWithTag(kTableTag));
    tableView_ = table;
    if (table) {
        table->setTableFooterView(UIView::make(CGRectZero));
        setEmptyStateSource(*table, this->template self<ValueListBase>());
        setEmptyStateDelegate(*table, this->template self<ValueListBase>());
        table->setDelegate(this->template self<ValueListBase>());
        table->setDataSource(this->template self<ValueListBase>());
    }
    updateData();
    updateNav();
}

template <class Screen>
void ValueListBase<Screen>::viewWillAppear(bool animated) {
    Screen::viewWillAppear(animated);
    updateView();
}

template <class Screen>
void ValueListBase<Screen>::viewDidAppear(bool animated) {
    Screen::viewDidAppear(animated);
    updateNav();
}

template <class Screen>
void ValueListBase<Screen>::updateView() {
    if (auto table = tableView()) table->reloadData();
}

template <class Screen>
void ValueListBase<Screen>::updateNav() {
    auto me = this->template self<UIViewController>();
    setNavTitle(me, textTitle_);
    if (isModal(*this) && offersCancel()) ::setNavLeft(me, {bbCancel()});
}

template <class Screen>
std::shared_ptr<UITableViewCell> ValueListBase<Screen>::cellForString(UITableView& table, NSIndexPath path,
                                                                      const std::string& text) {
    auto cell = table.dequeueReusableCellWithIdentifier(kCellIdentifier, path);
    cell->textLabel()->setText(text);
    cell->textLabel()->setFont(Global::shared()->font()->textNormal());
    cell->setAccessoryType(!def_.empty() && def_ == text ? UITableViewCellAccessoryType::Checkmark
                                                         : UITableViewCellAccessoryType::None);
    return cell;
}

template <class Screen>
std::shared_ptr<NSAttributedString> ValueListBase<Screen>::descriptionForEmptyState(UIScrollView&) {
    return listPlaceholderText(listPlaceholderString(isSearching()));
}

template class ValueListBase<MyViewController>;
template class ValueListBase<PortraitController>;
