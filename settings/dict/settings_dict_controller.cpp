// The settings form: rows from the description, the reports, moves, the navigation bar and the
// dressing of the rows.
#include "settings/dict/settings_dict_controller.h"

#include <mutex>

#include "foundation/device.h"
#include "foundation/global.h"
#include "platform/runtime/log.h"
#include "platform/ui/control/ui_slider.h"
#include "platform/ui/input/ui_text_field.h"
#include "platform/ui/input/ui_text_view.h"
#include "settings/dict/my_form_slider2.h"
#include "settings/dict/my_form_sync_timing.h"
#include "settings/dict/settings_dict_description.h"
#include "settings/form/form_cell_class.h"
#include "settings/form/form_choice_items.h"
#include "settings/form/form_control_items.h"
#include "settings/form/form_picker_items.h"
#include "settings/form/form_table_view_long_text_cell.h"
#include "settings/form/form_table_view_section.h"
#include "settings/form/form_text_item.h"
#include "ui/controller/view_controller_navigation.h"
#include "ui/layout/bar_button_item_custom.h"
#include "ui/theme/color.h"
#include "ui/theme/font.h"

namespace {
constexpr double kSliderRowHeight = 50;
constexpr double kSyncTimingRowHeight = 90;
constexpr double kButtonWithDetailHeight = 60;

void registerDictRowKinds() {
    static std::once_flag once;
    std::call_once(once, [] {
        FormCellClasses::add(formCellClass<MyFormSlider2Cell>("MyFormSlider2Cell"));
        FormCellClasses::add(formCellClass<MyFormSyncTimingCell>("MyFormSyncTimingCell"));
    });
}

NSTextAlignment alignment(const Value& row) {
    auto a = settings_dict::number(row, "textAlignment");
    if (!a || *a < 0 || *a > static_cast<double>(NSTextAlignment::Natural)) return NSTextAlignment::Left;
    return static_cast<NSTextAlignment>(static_cast<int>(*a));
}

UITableViewCellAccessoryType accessory(const Value& row) {
    auto a = settings_dict::number(row, "accessoryType");
    if (!a || *a < 0 || *a > static_cast<double>(UITableViewCellAccessoryType::DetailButton))
        return UITableViewCellAccessoryType::None;
    return static_cast<UITableViewCellAccessoryType>(static_cast<int>(*a));
}

void applyHeight(FormTableViewItem& item, const Value& row) {
    if (auto h = settings_dict::height(row)) item.cellHeight = *h;
}
}  // namespace

// ---- loading and appearing ----

void SettingsDictController::viewDidLoad() {
    MyViewController::viewDidLoad();
    tableView_ = std::dynamic_pointer_cast<UITableView>(view()->viewWithTag(kTableTag));
    if (!tableView_) {
        tableView_ = UITableView::make(view()->bounds(), UITableViewStyle::Grouped);
        tableView_->setTag(kTableTag);
        tableView_->setAutoresizingMask(UIViewAutoresizingFlexibleWidth | UIViewAutoresizingFlexibleHeight);
        view()->addSubview(tableView_);
    }
    registerDictRowKinds();
    manager_ = FormTableViewManager::make(
        tableView_, std::static_pointer_cast<FormTableViewManagerDelegate>(self<SettingsDictController>()));
    manager_->registerClass("MyFormSlider2Item", "MyFormSlider2Cell");
    manager_->registerClass("MyFormSyncTimingItem", "MyFormSyncTimingCell");
    updateNav();
}

void SettingsDictController::viewWillAppear(bool animated) {
    MyViewController::viewWillAppear(animated);
    updateData();
    updateView();
}

void SettingsDictController::viewDidAppear(bool animated) {
    MyViewController::viewDidAppear(animated);
    flashScrollIndicator();
    updateNav();
}

void SettingsDictController::updateView() {
    if (tableView_) tableView_->reloadData();
}

void SettingsDictController::updateDarkMode() {
    MyViewController::updateDarkMode();
    updateView();
}

void SettingsDictController::flashScrollIndicator() {
    if (tableView_) tableView_->flashScrollIndicators();
}

// ---- rows ----

void SettingsDictController::updateData() {
    if (!manager_) return;
    auto d = delegate();
    Value description = d ? d->onSettingsDictControllerGetDictionary(*this) : Value();
    auto sections = settings_dict::sections(description);
    secLabels_ = description["secLabels"];
    hasMovable_ = false;
    manager_->removeAllSections();
    // The form's copy holds the rows that became items, in the table's order, so that a row's
    // place in the table is its place in the copy.
    ValueArray copy;
    for (std::size_t i = 0; i < sections.size(); ++i) {
        auto section = FormTableViewSection::sectionWithHeaderTitle(settings_dict::sectionLabel(description, i));
        manager_->addSection(section);
        ValueArray rows;
        for (const auto& given : sections[i]) {
            if (!given.isDictionary()) {
                Log::warning("settings", "settings description: a row is no dictionary; skipped");
                continue;
            }
            Value row = given.deepCopy();
            if (auto item = buildRow(row)) {
                section->addItem(item);
                rows.push_back(row);
            }
        }
        copy.push_back(Value(std::move(rows)));
    }
    arr_ = Value(std::move(copy));
    updateView();
    updateNav();
}

void SettingsDictController::report(const FormTableViewItem& item, const Value& row, const Value& value) {
    auto d = delegate();
    if (!d) return;
    auto keep = self<SettingsDictController>();
    d->onSettingsDictControllerChanged(*this, row["key"].stringValue(), value, row["orig"],
                                       item.indexPath().value_or(NSIndexPath{0, 0}));
}

std::shared_ptr<FormTableViewItem> SettingsDictController::buildRow(const Value& row) {
    using namespace settings_dict;
    std::weak_ptr<SettingsDictController> weak = self<SettingsDictController>();
    auto type = text(row, "type");
    if (!type) return nullptr;
    auto label = text(row, "label");
    // Slider, sync-timing and switch rows reload the table before they report.
    auto reloadAndReport = [weak, row](FormTableViewItem& item, Value value) {
        auto c = weak.lock();
        if (!c) return;
        c->updateView();
        c->report(item, row, value);
    };
    if (*type == "radio") {
        const Value& v = row["value"];
        std::vector<std::string> value;
        if (!v.isNull()) value.push_back(v.isString() ? *v.string() : v.stringValue());
        auto item = FormPickerItem::itemWithTitle(label, value, std::nullopt, {texts(row, "options")});
        item->inlinePicker = false;
        applyHeight(*item, row);
        item->onChange = [weak, row](FormPickerItem& i) {
            ValueArray chosen;
            for (const auto& s : i.value.value_or(std::vector<std::string>{})) chosen.push_back(Value(s));
            if (auto c = weak.lock()) c->report(i, row, Value(std::move(chosen)));
        };
        return item;
    }
    if (*type == "slider") {
        auto item = MyFormSlider2Item::itemWithTitle(
            label, static_cast<float>(number(row, "value").value_or(0)),
            [reloadAndReport](MyFormSlider2Item& i) { reloadAndReport(i, Value(i.value)); });
        item->cellHeight = kSliderRowHeight;
        return item;
    }
    if (*type == "syncTiming") {
        auto item = MyFormSyncTimingItem::itemWithTitle(
            label, static_cast<float>(number(row, "value").value_or(0)),
            static_cast<float>(number(row, "value0").value_or(0)),
            [reloadAndReport](MyFormSyncTimingItem& i) { reloadAndReport(i, Value(i.value)); });
        item->cellHeight = kSyncTimingRowHeight;
        return item;
    }
    if (*type == "switch") {
        auto item = FormBoolItem::itemWithTitle(label, row["value"].boolValue(), [reloadAndReport](FormBoolItem& i) {
            reloadAndReport(i, Value(i.value));
        });
        if (flag(row, "movable", false)) {
            hasMovable_ = true;
            item->moveHandler = [](FormTableViewItem&, NSIndexPath, NSIndexPath) { return true; };
            item->moveCompletionHandler = [weak](FormTableViewItem&, NSIndexPath from, NSIndexPath to) {
                if (auto c = weak.lock()) c->rowMoved(from, to);
            };
        }
        return item;
    }
    if (*type == "button") {
        bool enabled = flag(row, "enabled", true);
        auto item = FormTableViewItem::itemWithTitle(label, accessory(row));
        item->selectionStyle = enabled ? UITableViewCellSelectionStyle::Gray : UITableViewCellSelectionStyle::None;
        if (auto detail = text(row, "label2")) {
            item->style = UITableViewCellStyle::Subtitle;
            item->detailLabelText = *detail;
            item->cellHeight = kButtonWithDetailHeight;
        }
        item->textAlignment = alignment(row);
        item->selectionHandler = [weak, row, enabled](FormTableViewItem& i) {
            i.deselectRowAnimated(true);
            if (!enabled) return;
            if (auto c = weak.lock()) c->report(i, row, Value());
        };
        return item;
    }
    if (*type == "right") {
        const Value& v = row["value"];
        std::optional<std::string> value;
        if (!v.isNull()) value = v.isString() ? *v.string() : v.stringValue();
        return FormRadioItem::itemWithTitle(label, value, [weak, row](FormTableViewItem& i) {
            i.deselectRowAnimated(true);
            if (auto c = weak.lock()) c->report(i, row, Value());
        });
    }
    if (*type == "text") {
        auto item = FormTableViewItem::itemWithTitle(text(row, "value"));
        item->selectionStyle = UITableViewCellSelectionStyle::None;
        item->textAlignment = alignment(row);
        applyHeight(*item, row);
        return item;
    }
    if (*type == "longText") {
        auto item = FormLongTextItem::itemWithTitle(label, text(row, "value"), std::nullopt);
        item->editable = false;
        item->textAlignment = alignment(row);
        applyHeight(*item, row);
        return item;
    }
    return nullptr;
}

const Value* SettingsDictController::rowAt(NSIndexPath path) const {
    if (path.section >= arr_.count()) return nullptr;
    const Value& section = arr_[path.section];
    if (path.row >= section.count()) return nullptr;
    return &section[path.row];
}

void SettingsDictController::rowMoved(NSIndexPath from, NSIndexPath to) {
    const Value* source = rowAt(from);
    const Value* target = rowAt(to);
    if (source && target) {
        std::string key1 = (*source)["key"].stringValue();
        std::string key2 = (*target)["key"].stringValue();
        if (key1 != key2) {
            if (auto d = delegate()) d->onSettingsDictControllerMoved(*this, key1, key2);
        }
    }
    // The copy follows the table, so that the next move reads the rows where they now are.
    if (!source) return;
    Value moved = *source;
    ValueArray* out = arr_[from.section].arrayPtr();
    out->erase(out->begin() + static_cast<std::ptrdiff_t>(from.row));
    // A place past the end of a section appends, as the table does.
    if (to.section >= arr_.count()) {
        out->insert(out->begin() + static_cast<std::ptrdiff_t>(from.row), moved);
        return;
    }
    ValueArray* in = arr_[to.section].arrayPtr();
    in->insert(in->begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(to.row, in->size())), moved);
}

// ---- navigation bar ----

std::shared_ptr<UIBarButtonItem> SettingsDictController::bbDone() {
    if (!bbDone_) {
        std::weak_ptr<SettingsDictController> weak = self<SettingsDictController>();
        bbDone_ = initWithBarButtonSystemItem1(UIBarButtonSystemItem::Done, [weak](UIBarButtonItem&) {
            if (auto c = weak.lock()) c->onDone();
        });
    }
    return bbDone_;
}

std::shared_ptr<UIBarButtonItem> SettingsDictController::bbEdit0() {
    if (!bbEdit0_) {
        std::weak_ptr<SettingsDictController> weak = self<SettingsDictController>();
        bbEdit0_ = initWithBarButtonSystemItem1(UIBarButtonSystemItem::Edit, [weak](UIBarButtonItem&) {
            if (auto c = weak.lock()) c->onEdit0();
        });
    }
    return bbEdit0_;
}

std::shared_ptr<UIBarButtonItem> SettingsDictController::bbEdit1() {
    if (!bbEdit1_) {
        std::weak_ptr<SettingsDictController> weak = self<SettingsDictController>();
        bbEdit1_ = initWithBarButtonSystemItem1(UIBarButtonSystemItem::Done, [weak](UIBarButtonItem&) {
            if (auto c = weak.lock()) c->onEdit1();
        });
    }
    return bbEdit1_;
}

void SettingsDictController::updateNav() {
    auto me = self<SettingsDictController>();
    setNavTitle(me, titleText_);
    auto d = delegate();
    if (auto done = d && d->takesSettingsDictControllerDone() ? bbDone() : nullptr) setNavLeft(me, {done});
    if (hasMovable_)
        setNavRight(BarItems{tableView_ && tableView_->isEditing() ? bbEdit1() : bbEdit0()});
    else
        setNavRight(BarItems{});
}

void SettingsDictController::onDone() {
    auto d = delegate();
    if (d && d->takesSettingsDictControllerDone()) d->onSettingsDictControllerDone(*this);
}

void SettingsDictController::onEdit0() {
    if (tableView_) tableView_->setEditing(true, true);
    updateView();
    updateNav();
}

void SettingsDictController::onEdit1() {
    if (tableView_) tableView_->setEditing(false, true);
    updateView();
    updateNav();
}

// ---- dressing ----

void SettingsDictController::willDisplayCell(UITableView&, UITableViewCell& cell, NSIndexPath path) {
    auto fonts = Global::shared()->font();
    auto colours = Global::shared()->color();
    cell.textLabel()->setHighlightedTextColor(colours->backgroundDefault());
    if (dynamic_cast<MyFormSyncTimingCell*>(&cell)) return;
    bool dark = Global::shared()->device()->isDarkMode();
    for (const auto& sub : cell.contentView()->subviews()) {
        if (auto label = std::dynamic_pointer_cast<UILabel>(sub)) {
            label->setFont(fonts->iconNormal());
            label->setNumberOfLines(0);
        } else if (auto field = std::dynamic_pointer_cast<UITextField>(sub)) {
            field->setFont(fonts->iconNormal());
        } else if (auto textView = std::dynamic_pointer_cast<UITextView>(sub)) {
            textView->setFont(fonts->iconNormal());
        } else if (auto slider = std::dynamic_pointer_cast<UISlider>(sub)) {
            slider->setTintColor(dark ? UIColor::whiteColor() : UIColor::blackColor());
        }
    }
    const Value* row = rowAt(path);
    if (!row) return;
    auto font = [&](const std::shared_ptr<UIFont>& fallback) {
        auto given = (*row)["font"].objectAs<UIFont>();
        return given ? given : fallback;
    };
    if (auto longText = dynamic_cast<FormTableViewLongTextCell*>(&cell)) {
        longText->textView()->setFont(font(fonts->textNormal()));
        return;
    }
    if (!dynamic_cast<FormTableViewCell*>(&cell)) return;
    cell.textLabel()->setFont(fonts->iconNormal());
    if (cell.style() != UITableViewCellStyle::Default) {
        cell.detailTextLabel()->setFont(fonts->iconSmall1());
        cell.detailTextLabel()->setTextColor(colours->labelLightGray());
    }
    std::string type = (*row)["type"].stringValue();
    if (type == "button") {
        cell.textLabel()->setFont(font(fonts->textNormal()));
        bool enabled = settings_dict::flag(*row, "enabled", true);
        auto colour = (*row)["textColor"].objectAs<UIColor>();
        cell.textLabel()->setTextColor(enabled ? (colour ? colour : colours->labelDefault())
                                               : colours->labelLightGray());
    } else if (type == "text") {
        cell.textLabel()->setFont(font(fonts->textNormal()));
    }
}
