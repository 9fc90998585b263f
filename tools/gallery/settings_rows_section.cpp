// The settings rows: switch, segmented and slider rows; picker and date rows with the inline
// pickers open and the keyboard-style picker up; the payment card row wide, compact, by type,
// during a flip, showing the back and expired; the sync-timing and slider rows at both margins;
// the settings form from a description (scrolled, and editing), its pop-up, the base screen, and
// a long form in a keyboard-aware table. Each in light and dark.
#include "foundation/global.h"
#include "platform/dispatch/clock.h"
#include "platform/ui/app/ui_screen.h"
#include "platform/ui/app/ui_window.h"
#include "platform/ui/controller/ui_navigation_controller.h"
#include "platform/ui/input/keyboard.h"
#include "settings/dict/pop_settings_dict_view.h"
#include "settings/dict/settings_base_controller.h"
#include "settings/dict/settings_dict_controller.h"
#include "settings/form/form_control_cells.h"
#include "settings/form/form_table_view_credit_card_cell.h"
#include "settings/form/form_table_view_date_time_cell.h"
#include "settings/form/form_table_view_manager.h"
#include "settings/form/form_table_view_picker_cell.h"
#include "settings/form/form_table_view_section.h"
#include "settings/form/form_text_item.h"
#include "settings/keyboard/keyboard_aware_table_view.h"
#include "tools/gallery/gallery.h"
#include "tools/gallery/widget_gallery_support.h"
#include "ui/ui_services.h"

namespace {

// 2024-03-15 20:30 UTC.
constexpr double kMarchEvening = 732227400;

struct Form {
    std::shared_ptr<UITableView> table;
    std::shared_ptr<FormTableViewManager> manager;
    std::shared_ptr<FormTableViewSection> add(const std::string& title, std::vector<FormItem> items) {
        auto s = FormTableViewSection::sectionWithHeaderTitle(title);
        s->addItemsFromArray(items);
        manager->addSection(s);
        return s;
    }
    template <class Cell>
    std::shared_ptr<Cell> cell(std::size_t section, std::size_t row) {
        return std::dynamic_pointer_cast<Cell>(table->cellForRowAtIndexPath({section, row}));
    }
};

Form makeForm(GalleryPage& page, std::shared_ptr<UITableView> table = nullptr) {
    auto window = page.newWindow();
    CGRect b = window->bounds();
    CGFloat top = window->safeAreaInsets().top;
    Form f;
    f.table = table
                  ? table
                  : UITableView::make(CGRectMake(0, top, b.size.width, b.size.height - top), UITableViewStyle::Grouped);
    f.table->setFrame(CGRectMake(0, top, b.size.width, b.size.height - top));
    window->addSubview(f.table);
    f.manager = FormTableViewManager::make(f.table);
    return f;
}

void shotBoth(GalleryPage& page, const std::string& name, const std::function<void()>& build, double settle = 0.5) {
    for (auto style : {UIUserInterfaceStyle::Light, UIUserInterfaceStyle::Dark}) {
        UIScreen::mainScreen()->setUserInterfaceStyle(style);
        UIKeyboard::shared().reset();
        build();
        page.step(settle);
        page.shotScreen(name + (style == UIUserInterfaceStyle::Dark ? "-dark" : "-light"));
    }
    UIScreen::mainScreen()->setUserInterfaceStyle(UIUserInterfaceStyle::Light);
    UIKeyboard::shared().reset();
}

std::shared_ptr<FormDateTimeItem> dateItem(std::optional<std::string> title, std::optional<double> value) {
    auto item = FormDateTimeItem::itemWithTitle(std::move(title), value, std::string("Pick a day"),
                                                std::string("d MMM y, HH:mm"), UIDatePickerMode::DateAndTime);
    item->timeZone = NSTimeZone::timeZoneWithName("UTC");
    item->locale = NSLocale::localeWithLocaleIdentifier("en_US");
    return item;
}

void fillControls(Form& f) {
    auto off = FormBoolItem::itemWithTitle("Save the original too", false);
    auto disabled = FormBoolItem::itemWithTitle("Location (needs permission)", true);
    disabled->setEnabled(false);
    f.add("Switches",
          {FormBoolItem::itemWithTitle("Grid", true), off, disabled,
           FormBoolItem::itemWithTitle("Keep every photo with its location and a copy of the original file", true)});
    f.add("Segments and slider",
          {FormSegmentedItem::itemWithTitle("", std::vector<std::string>{"Photo", "Square", "Video"}, 0),
           FormSegmentedItem::itemWithTitle("Quality", std::vector<std::string>{"Low", "High"}, 1),
           FormFloatItem::itemWithTitle("Volume", 0.6f)});
    f.add("Pickers",
          {FormPickerItem::itemWithTitle("Ratio", std::nullopt, std::string("Choose"), {{"4:3", "16:9", "1:1"}}),
           FormPickerItem::itemWithTitle("Timer", std::vector<std::string>{"5", "s"}, std::nullopt,
                                         {{"3", "5", "10"}, {"s", "min"}}),
           dateItem("Taken", kMarchEvening), dateItem("Reminder", std::nullopt)});
}

void renderControls(GalleryPage& page) {
    Form keep;
    shotBoth(page, "rows", [&] {
        keep = makeForm(page);
        fillControls(keep);
        keep.table->reloadData();
    });
    shotBoth(page, "rows-pickers", [&] {
        keep = makeForm(page);
        fillControls(keep);
        keep.table->reloadData();
        keep.table->layoutIfNeeded();
        keep.table->scrollToRowAtIndexPath({2, 0}, UITableViewScrollPosition::Top, false);
    });
    shotBoth(page, "inline-picker-open", [&] {
        keep = makeForm(page);
        auto ratio = FormPickerItem::itemWithTitle("Ratio", std::vector<std::string>{"16:9"}, std::nullopt,
                                                   {{"4:3", "16:9", "1:1"}});
        ratio->inlinePicker = true;
        keep.add("Inline", {ratio, FormTableViewItem::itemWithTitle("Below")});
        keep.table->reloadData();
        keep.table->layoutIfNeeded();
        keep.cell<FormTableViewPickerCell>(0, 0)->setSelected(true, false);
    });
    shotBoth(page, "inline-date-open", [&] {
        keep = makeForm(page);
        auto taken = dateItem("Taken", kMarchEvening);
        taken->inlineDatePicker = true;
        keep.add("Inline", {taken, FormTableViewItem::itemWithTitle("Below")});
        keep.table->reloadData();
        keep.table->layoutIfNeeded();
        keep.cell<FormTableViewDateTimeCell>(0, 0)->setSelected(true, false);
    });
    shotBoth(
        page, "keyboard-picker",
        [&] {
            keep = makeForm(page);
            keep.add("Keyboard", {FormPickerItem::itemWithTitle("Timer", std::vector<std::string>{"10", "min"},
                                                                std::nullopt, {{"3", "5", "10"}, {"s", "min"}}),
                                  FormTextItem::itemWithTitle("Name", "", "Required")});
            keep.table->reloadData();
            keep.table->layoutIfNeeded();
            keep.cell<FormTableViewPickerCell>(0, 0)->setSelected(true, false);
        },
        1.0);
}

void renderCards(GalleryPage& page) {
    Form keep;
    shotBoth(
        page, "card-rows",
        [&] {
            keep = makeForm(page);
            auto expired = FormCreditCardItem::itemWithNumber("4111111111111111", "01/20", "123");
            keep.add("Wide",
                     {FormCreditCardItem::item(), FormCreditCardItem::itemWithNumber("4111 1111 1111", "", "")});
            keep.add("Compact, by type", {FormCreditCardItem::itemWithNumber("4111111111111111", "12/29", ""),
                                          FormCreditCardItem::itemWithNumber("5500000000000004", "", ""),
                                          FormCreditCardItem::itemWithNumber("378282246310005", "", ""),
                                          FormCreditCardItem::itemWithNumber("6011111111111117", "", "")});
            keep.add("Expired", {expired});
            keep.table->reloadData();
        },
        1.0);
    // A flip from the stack to the type, at three moments of its 0.4 s.
    for (double at : {0.1, 0.2, 0.3}) {
        std::string name = "card-flip-" + std::to_string(static_cast<int>(at * 10 + 0.5));
        keep = makeForm(page);
        auto card = FormCreditCardItem::itemWithNumber("411111111111", "", "");
        keep.add("Typing", {card});
        keep.table->reloadData();
        page.step(0.5);
        auto cell = keep.cell<FormTableViewCreditCardCell>(0, 0);
        cell->creditCardField()->becomeFirstResponder();
        page.step(0.5);
        UIKeyboard::shared().type("1");
        page.step(at);
        // The whole screen: a view shot alone draws the model, not the turn in progress.
        page.shotScreen(name);
        UIKeyboard::shared().reset();
    }
    shotBoth(
        page, "card-back",
        [&] {
            keep = makeForm(page);
            keep.add("Code", {FormCreditCardItem::itemWithNumber("5500000000000004", "10/28", "")});
            keep.table->reloadData();
            keep.table->layoutIfNeeded();
            keep.cell<FormTableViewCreditCardCell>(0, 0)->cvvField()->becomeFirstResponder();
        },
        1.0);
}

// ---- the settings form ----

struct Describer : PopSettingsDictViewDelegate {
    Value description;
    bool takesDone = true;
    Value onSettingsDictControllerGetDictionary(SettingsDictController&) override { return description; }
    void onSettingsDictControllerChanged(SettingsDictController&, const std::string&, const Value&, const Value&,
                                         NSIndexPath) override {}
    void onSettingsDictControllerMoved(SettingsDictController&, const std::string&, const std::string&) override {}
    bool takesSettingsDictControllerDone() const override { return takesDone; }
    void onPopSettingsDictViewWillHide(PopSettingsDictView&) override {}
    void onPopSettingsDictViewDidHide(PopSettingsDictView&) override {}
};

Value rowOf(std::initializer_list<ValueDictionary::Entry> entries) {
    return Value::dictionary(entries);
}

Value everyType() {
    ValueArray camera{
        rowOf({{"type", "switch"}, {"key", "grid"}, {"label", "Grid"}, {"value", true}, {"movable", true}}),
        rowOf({{"type", "switch"}, {"key", "level"}, {"label", "Level guide"}, {"value", false}, {"movable", true}}),
        rowOf({{"type", "radio"},
               {"key", "ratio"},
               {"label", "Ratio"},
               {"value", "4:3"},
               {"options", Value::array({"4:3", "16:9", "1:1"})}}),
        rowOf({{"type", "slider"}, {"key", "volume"}, {"label", "Volume"}, {"value", 0.4}}),
        rowOf({{"type", "syncTiming"}, {"key", "intro"}, {"label", "Intro"}, {"value", 3.5}, {"value0", 11.82}})};
    ValueArray about{
        rowOf({{"type", "right"}, {"key", "lang"}, {"label", "Language"}, {"value", "English"}}),
        rowOf({{"type", "button"},
               {"key", "rate"},
               {"label", "Rate Korva"},
               {"label2", "Tell us what you think"},
               {"accessoryType", 1}}),
        rowOf({{"type", "button"}, {"key", "restore"}, {"label", "Restore purchases"}, {"enabled", false}}),
        rowOf({{"type", "text"}, {"value", "Photos stay on this device."}, {"textAlignment", 1}}),
        rowOf({{"type", "longText"},
               {"key", "terms"},
               {"height", 110},
               {"value",
                "Korva keeps your settings on this device. Nothing is sent anywhere unless you share a photo."}})};
    return Value::dictionary(
        {{"arr", Value(ValueArray{Value(camera), Value(about)})}, {"secLabels", Value::array({"Camera", "About"})}});
}

void renderSettingsForm(GalleryPage& page) {
    auto describer = std::make_shared<Describer>();
    describer->description = everyType();
    std::shared_ptr<SettingsDictController> form;
    auto showForm = [&] {
        auto window = page.newWindow();
        form = SettingsDictController::make();
        form->setDelegate(describer);
        form->setTitleText("Settings");
        window->setRootViewController(UINavigationController::withRoot(form));
        page.step(0.5);
    };
    shotBoth(page, "settings-form", showForm);
    shotBoth(page, "settings-form-scrolled", [&] {
        showForm();
        form->tableView()->scrollToRowAtIndexPath({1, 4}, UITableViewScrollPosition::Bottom, false);
    });
    shotBoth(page, "settings-form-editing", [&] {
        showForm();
        form->onEdit0();
    });
    for (CGFloat margin : {0.0, 8.0}) {
        shotBoth(page, "sync-slider-margin-" + std::to_string(static_cast<int>(margin)), [&] {
            auto own = std::make_shared<Describer>();
            Value camera = everyType()["arr"][std::size_t{0}];
            own->description = Value::dictionary(
                {{"arr", Value(ValueArray{Value(ValueArray{camera[std::size_t{3}], camera[std::size_t{4}]})})}});
            auto window = page.newWindow();
            form = SettingsDictController::make();
            form->setDelegate(own);
            form->loadViewIfNeeded();
            form->manager()->style()->contentViewMargin = margin;
            window->setRootViewController(UINavigationController::withRoot(form));
            describer = own;
        });
        describer = std::make_shared<Describer>();
        describer->description = everyType();
    }
    shotBoth(
        page, "settings-popup",
        [&] {
            auto window = page.newWindow();
            auto host = UIViewController::make();
            window->setRootViewController(host);
            host->view()->addSubview(galleryPhotoBackdrop(host->view()->bounds()));
            auto sender = UIView::make(CGRectMake(30, 120, 44, 44));
            sender->setBackgroundColor(UIColor::orangeColor());
            host->view()->addSubview(sender);
            page.step(0.1);
            static std::shared_ptr<PopSettingsDictView> pop;
            pop = PopSettingsDictView::make(host);
            pop->setDelegate(describer);
            pop->show(sender, nullptr);
        },
        1.0);
    shotBoth(
        page, "settings-base-screen",
        [&] {
            auto window = page.newWindow();
            auto under = UIViewController::make();
            under->view()->addSubview(galleryPhotoBackdrop(under->view()->bounds()));
            window->setRootViewController(under);
            page.step(0.1);
            auto screen = SettingsBaseController::make();
            describer->takesDone = false;
            screen->setDelegate(describer);
            under->presentViewController(UINavigationController::withRoot(screen), false);
        },
        1.0);
}

void renderKeyboardAware(GalleryPage& page) {
    Form keep;
    std::vector<std::shared_ptr<FormTextItem>> fields;
    auto build = [&] {
        auto window = page.newWindow();
        keep = makeForm(page, KeyboardAwareTableView::make(window->bounds(), UITableViewStyle::Grouped));
        fields.clear();
        for (const char* section : {"Profile", "Address", "Notes"}) {
            std::vector<FormItem> items;
            for (const char* name : {"First", "Second", "Third", "Fourth"}) {
                auto item = FormTextItem::itemWithTitle(std::string(section) + " " + name, "", "Type here");
                fields.push_back(item);
                items.push_back(item);
            }
            keep.add(section, items);
        }
        keep.table->reloadData();
        page.step(0.3);
        keep.table->scrollToRowAtIndexPath({2, 2}, UITableViewScrollPosition::Bottom, false);
        page.step(0.3);
    };
    shotBoth(
        page, "keyboard-aware-field",
        [&] {
            build();
            if (auto cell = keep.cell<FormTableViewCell>(2, 2)) cell->becomeResponder();
        },
        1.0);
    shotBoth(
        page, "keyboard-aware-next",
        [&] {
            build();
            if (auto cell = keep.cell<FormTableViewCell>(2, 2)) cell->becomeResponder();
            page.step(1.0);
            UIKeyboard::shared().pressReturn();
        },
        1.0);
}

void renderSettingsRows(GalleryPage& page) {
    registerUIServices();
    renderControls(page);
    renderCards(page);
    renderSettingsForm(page);
    renderKeyboardAware(page);
}

}  // namespace

void gallerySettingsRows(GalleryPage& page) {
    renderSettingsRows(page);
}
